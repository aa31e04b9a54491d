// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "arranque.h"

#include <QObject>
#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

// Stands in for the serial port object: the view only needs its signal.
class SerialFalso : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    Q_INVOKABLE void envia(int status) { emit targetChanged(status); }

signals:
    void targetChanged(const int &status);
};

class Setup : public QObject {
    Q_OBJECT

public:
    Setup() { silenciaAvisoDeConnections(); }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("serial"), &serial);
    }

private:
    SerialFalso serial;
};

QUICK_TEST_MAIN_WITH_SETUP(view, Setup)

#include "tst_view.moc"
