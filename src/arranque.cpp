// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "arranque.h"

#include <QLoggingCategory>
#include <QUrl>

bool vistaFalhou(const QObject *objeto, const QUrl &url, const QUrl &vista)
{
    return objeto == nullptr && url == vista;
}

void silenciaAvisoDeConnections()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qml.connections=false"));
}
