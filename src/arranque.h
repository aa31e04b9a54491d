// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#ifndef ARRANQUE_H
#define ARRANQUE_H

class QObject;
class QUrl;

// True when the engine reports that the view document itself failed to load.
bool vistaFalhou(const QObject *objeto, const QUrl &url, const QUrl &vista);

// Qt 5.15 warns about the classic "onSignal:" handler form in Connections; the
// view must use that form, and the log carries only the tower's own lines.
// Only that one category is silenced.
void silenciaAvisoDeConnections();

#endif // ARRANQUE_H
