// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#ifndef PROCESSO_UNIX_H
#define PROCESSO_UNIX_H

#include <QSocketNotifier>
#include <functional>

// What a Unix process owes the one that started it, and what it must not
// trust it with. Only Unix builds compile this.

// Opens /dev/null onto any of descriptors 0, 1 and 2 that is closed, so that
// nothing opened later (the X connection, the port) lands there and receives
// the log; and ignores SIGPIPE, so a log reader that goes away never ends the
// program. Call first thing in main.
void preparaProcesso();

// Takes an advisory exclusive lock on an open descriptor without waiting.
// False when another program holds one: picocom and pyserial's exclusive mode
// lock the device this way, and ignore Qt's lock file.
bool travaExclusiva(int descritor);

// Turns SIGTERM and SIGINT into a call of aoFim on the event loop, through a
// socket pair that the signal handler writes. A second signal, if the loop
// never gets to the first, ends the process the default way.
class FimPorSinal {
public:
    explicit FimPorSinal(std::function<void()> aoFim);
    ~FimPorSinal();
    FimPorSinal(const FimPorSinal &) = delete;
    FimPorSinal &operator=(const FimPorSinal &) = delete;

private:
    int par[2] = {-1, -1};
    QSocketNotifier *notificador = nullptr;
};

#endif // PROCESSO_UNIX_H
