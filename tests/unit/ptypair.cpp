// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "ptypair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <fcntl.h>
#include <unistd.h>

PtyPair::PtyPair() = default;

PtyPair::~PtyPair()
{
    stop();
}

bool PtyPair::start(int number)
{
    numero = number;
    while (numero == 0 || (number == 0 && QFile::exists(portPath())))
        numero = QRandomGenerator::global()->bounded(100000, 999999);
    devicePath = QDir::tempPath() + QStringLiteral("/tavelo-dev-") + QString::number(numero);
    socat.setProgram(QStringLiteral("socat"));
    socat.setArguments({QStringLiteral("pty,raw,echo=0,link=") + portPath(),
        QStringLiteral("pty,raw,echo=0,link=") + devicePath});
    socat.start();
    if (!socat.waitForStarted())
        return false;
    QElapsedTimer waited;
    waited.start();
    while (!(QFile::exists(portPath()) && QFile::exists(devicePath))) {
        if (waited.elapsed() > 5000)
            return false;
        QThread::msleep(5);
    }
    deviceFd = ::open(QFile::encodeName(devicePath).constData(), O_RDWR | O_NOCTTY);
    return deviceFd >= 0;
}

bool PtyPair::send(const QByteArray &bytes)
{
    return ::write(deviceFd, bytes.constData(), size_t(bytes.size())) == bytes.size();
}

void PtyPair::stop()
{
    if (deviceFd >= 0) {
        ::close(deviceFd);
        deviceFd = -1;
    }
    if (socat.state() != QProcess::NotRunning) {
        socat.terminate();
        socat.waitForFinished(5000);
    }
    // socat removes its links as it ends; make sure, so a restart can link again.
    QFile::remove(portPath());
    QFile::remove(devicePath);
}
