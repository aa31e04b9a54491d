// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

// The command-to-light floor: waits on a pty with a QSocketNotifier and turns
// one plain QML Rectangle red on '5' and dark on '6', shown the way tavelo
// shows its view (same Qt, same attributes). Nothing else is on the road.
#include <QColor>
#include <QGuiApplication>
#include <QQmlApplicationEngine>
#include <QSocketNotifier>
#include <QUrl>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pixelfloor QML DEVICE\n");
        return 2;
    }
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QGuiApplication app(argc, argv);
    QQmlApplicationEngine engine;
    engine.load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    if (engine.rootObjects().isEmpty())
        return 1;
    QObject *lamp = engine.rootObjects().constFirst()->findChild<QObject *>(QStringLiteral("lamp"));
    if (!lamp)
        return 1;

    const int fd = open(argv[2], O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::perror(argv[2]);
        return 1;
    }
    QSocketNotifier notifier(fd, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, lamp, [&notifier, fd, lamp] {
        char buf[256];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) {
            notifier.setEnabled(false); // the other end hung up
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            if (buf[i] == '5')
                lamp->setProperty("color", QColor(0xFF, 0x00, 0x00));
            else if (buf[i] == '6')
                lamp->setProperty("color", QColor(0x40, 0x40, 0x40));
        }
    });
    return app.exec();
}
