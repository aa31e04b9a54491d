// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "arranque.h"
#include "portaserial.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QInputDialog>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QUrl>

#ifdef Q_OS_UNIX
#include "processo_unix.h"
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    preparaProcesso();
#endif
    silenciaAvisoDeConnections();
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);

    // Lives until the process ends; the view holds it as "serial".
    auto *serial = new PortaSerial(nullptr);

    // Asked to end (a signal, even at the prompt): every event loop ends.
    bool encerrar = false;
#ifdef Q_OS_UNIX
    const FimPorSinal fimPorSinal([&encerrar] {
        encerrar = true;
        QCoreApplication::exit(0);
    });
#endif

    int numero = 0;
    do {
        numero = QInputDialog::getInt(nullptr, QStringLiteral("Emulador Tavelo"),
            QStringLiteral("Escolha o número da porta serial"), 0, -2147483647, 2147483647, 1);
        if (encerrar)
            return 0;
        qDebug() << numero;
    } while (numero == 0);

    const QString nomePorta = QStringLiteral("COM") + QString::number(numero, 10);
    qDebug() << serial->openPort(nomePorta);

    QQmlApplicationEngine engine;
    const QUrl url(QStringLiteral("qrc:/main.qml"));
    QObject::connect(
        &engine, &QQmlApplicationEngine::objectCreated, &app,
        [url](QObject *objeto, const QUrl &objetoUrl) {
            if (vistaFalhou(objeto, objetoUrl, url))
                QCoreApplication::exit(-1);
        },
        Qt::QueuedConnection);
    engine.rootContext()->setContextProperty(QStringLiteral("serial"), serial);
    engine.load(url);

    const int codigo = app.exec();
    // Releases the device and its lock file for whoever comes next.
    serial->fechaPorta();
    return codigo;
}
