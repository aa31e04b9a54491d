// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#ifndef PTYPAIR_H
#define PTYPAIR_H

#include <QByteArray>
#include <QProcess>
#include <QString>

// A virtual serial pair made by socat: one end linked at /dev/COM<n> for the
// code under test, the other end ("device") written by the test.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    // A new pair at a random /dev/COM<n>, or again at the given number.
    bool start(int number = 0);
    int number() const { return numero; }
    QString portName() const { return QStringLiteral("COM") + QString::number(numero); }
    QString portPath() const { return QStringLiteral("/dev/") + portName(); }
    bool send(const QByteArray &bytes);
    // Ends socat: the port's other side goes away.
    void stop();

private:
    int numero = 0;
    QString devicePath;
    int deviceFd = -1;
    QProcess socat;
};

#endif // PTYPAIR_H
