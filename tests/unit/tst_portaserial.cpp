// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "arranque.h"
#include "comandos.h"
#include "portaserial.h"
#include "ptypair.h"

#include <QLoggingCategory>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

QStringList debugLines;

void captureDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg)
        debugLines << message;
}

QList<int> codes(const QSignalSpy &spy)
{
    QList<int> result;
    for (const QList<QVariant> &args : spy)
        result << args.at(0).toInt();
    return result;
}

// A PortaSerial listening on a fresh virtual port, with a spy on its signal.
struct Listening {
    PtyPair pty;
    PortaSerial porta {nullptr};
    QSignalSpy spy {&porta, SIGNAL(targetChanged(int))};

    bool open() { return spy.isValid() && pty.start() && porta.openPort(pty.portName()) == 0; }
};

} // namespace

class TestPortaSerial : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void metaObject();
    void openPortListensOnce();
    void openPortConfiguresTheLine();
    void reopenKeepsOneConnection();
    void reconnectsWhenTheDeviceComesBack();
    void waitsWhileAnotherProgramLocksTheDevice();
    void closedForGoodDoesNotReconnect();

    void decodesEveryByte_data();
    void decodesEveryByte();
    void logsAndEmitsPerChunk_data();
    void logsAndEmitsPerChunk();

    void loadGuard_data();
    void loadGuard();
    void silencesOnlyConnectionsWarnings();

private:
    QtMessageHandler previousHandler = nullptr;
};

void TestPortaSerial::init()
{
    debugLines.clear();
    previousHandler = qInstallMessageHandler(captureDebug);
}

void TestPortaSerial::cleanup()
{
    qInstallMessageHandler(previousHandler);
}

void TestPortaSerial::metaObject()
{
    PortaSerial porta(nullptr);
    const QMetaObject *meta = porta.metaObject();
    QCOMPARE(meta->className(), "PortaSerial");
    QCOMPARE(meta->superClass(), &QObject::staticMetaObject);
    QVERIFY(porta.qt_metacast("PortaSerial") == &porta);
    QCOMPARE(qobject_cast<PortaSerial *>(static_cast<QObject *>(&porta)), &porta);

    // Exactly one signal and one slot of its own, nothing else.
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 2);
    QCOMPARE(meta->propertyCount(), meta->propertyOffset());
    QCOMPARE(meta->enumeratorCount(), meta->enumeratorOffset());
    QCOMPARE(meta->classInfoCount(), meta->classInfoOffset());

    const QMetaMethod sinal = meta->method(meta->indexOfSignal("targetChanged(int)"));
    QVERIFY(sinal.isValid());
    QCOMPARE(sinal.methodType(), QMetaMethod::Signal);
    QCOMPARE(sinal.access(), QMetaMethod::Public);
    QCOMPARE(sinal.parameterNames(), QList<QByteArray> {"status"});
    QCOMPARE(sinal.parameterType(0), int(QMetaType::Int));

    const QMetaMethod slot = meta->method(meta->indexOfSlot("receiveInfo()"));
    QVERIFY(slot.isValid());
    QCOMPARE(slot.methodType(), QMetaMethod::Slot);
    QCOMPARE(slot.access(), QMetaMethod::Private);
    QCOMPARE(slot.parameterCount(), 0);
}

void TestPortaSerial::openPortListensOnce()
{
    Listening l;
    QVERIFY(l.open());
    QVERIFY(l.pty.send("5"));
    QTRY_COMPARE(l.spy.count(), 1);
    QTest::qWait(100); // a second connection would deliver a second read here
    QCOMPARE(codes(l.spy), QList<int> {35});
    QCOMPARE(debugLines,
        (QStringList {QStringLiteral("\"5\""), QStringLiteral("\"35\""),
            QStringLiteral("Liga Led Vermelho")}));
}

void TestPortaSerial::openPortConfiguresTheLine()
{
    PtyPair pty;
    QVERIFY(pty.start());
    PortaSerial porta(nullptr);
    QCOMPARE(porta.openPort(pty.portName()), 0);

    // A pty's line settings are shared by everyone who opens it.
    const int fd
        = ::open(QFile::encodeName(pty.portPath()).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios tio {};
    QCOMPARE(::tcgetattr(fd, &tio), 0);
    ::close(fd);

    QCOMPARE(cfgetispeed(&tio), speed_t(B300));
    QCOMPARE(cfgetospeed(&tio), speed_t(B300));
    QCOMPARE(tio.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(tio.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(tio.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(tio.c_iflag & (IXON | IXOFF), tcflag_t(0));
}

void TestPortaSerial::reopenKeepsOneConnection()
{
    PtyPair first;
    PtyPair second;
    QVERIFY(first.start());
    QVERIFY(second.start());
    PortaSerial porta(nullptr);
    QSignalSpy spy(&porta, SIGNAL(targetChanged(int)));
    QVERIFY(spy.isValid());

    QCOMPARE(porta.openPort(first.portName()), 0);
    QCOMPARE(porta.openPort(second.portName()), 0);
    QVERIFY(second.send("1"));
    QTRY_COMPARE(spy.count(), 1);
    QTest::qWait(100);
    QCOMPARE(codes(spy), QList<int> {31});
    QCOMPARE(debugLines.size(), 3);
}

void TestPortaSerial::reconnectsWhenTheDeviceComesBack()
{
    Listening l;
    QVERIFY(l.open());
    PtyPair &pty = l.pty;

    QStringList expected;
    const QByteArray commands[] = {"1", "3", "5"};
    for (const QByteArray &command : commands) {
        QVERIFY(pty.send(command));
        expected << QStringLiteral("\"%1\"").arg(QString::fromLatin1(command))
                 << QStringLiteral("\"%1\"").arg(QString::fromLatin1(command.toHex()))
                 << QString::fromUtf8(decodificaComandos(command).at(0).texto);
        QTRY_COMPARE(debugLines, expected);

        pty.stop();
        expected << QStringLiteral("Porta serial desconectada");
        QTRY_COMPARE(debugLines, expected);
        QTest::qWait(1500); // a failed attempt or two: silent
        QCOMPARE(debugLines, expected);

        QVERIFY(pty.start(pty.number()));
        expected << QStringLiteral("Porta serial reconectada");
        QTRY_COMPARE_WITH_TIMEOUT(debugLines, expected, 5000);
    }
    QVERIFY(pty.send("8"));
    expected << QStringLiteral("\"8\"") << QStringLiteral("\"38\"")
             << QStringLiteral("Desliga Sirene ");
    QTRY_COMPARE(debugLines, expected);
    QTest::qWait(100); // one connection to readyRead: no second, empty read
    QCOMPARE(debugLines, expected);
    QCOMPARE(codes(l.spy), (QList<int> {31, 33, 35, 38}));
}

void TestPortaSerial::waitsWhileAnotherProgramLocksTheDevice()
{
    Listening l;
    QVERIFY(l.open());
    l.pty.stop();
    QTRY_COMPARE(debugLines, QStringList {QStringLiteral("Porta serial desconectada")});

    // The device is back, but another program locks it before we look again.
    QVERIFY(l.pty.start(l.pty.number()));
    const int outro = ::open(QFile::encodeName(l.pty.portPath()).constData(),
        O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(outro >= 0);
    QCOMPARE(::flock(outro, LOCK_EX | LOCK_NB), 0);
    QTest::qWait(1500);
    QCOMPARE(debugLines, QStringList {QStringLiteral("Porta serial desconectada")});

    ::close(outro);
    QTRY_COMPARE_WITH_TIMEOUT(debugLines.last(), QStringLiteral("Porta serial reconectada"), 3000);
    QVERIFY(l.pty.send("5"));
    QTRY_COMPARE(codes(l.spy), QList<int> {35});

    // Now ours: another program cannot take the lock.
    const int terceiro = ::open(QFile::encodeName(l.pty.portPath()).constData(),
        O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(terceiro >= 0);
    QCOMPARE(::flock(terceiro, LOCK_EX | LOCK_NB), -1);
    ::close(terceiro);
}

void TestPortaSerial::closedForGoodDoesNotReconnect()
{
    Listening l;
    QVERIFY(l.open());
    l.pty.stop();
    QTRY_COMPARE(debugLines, QStringList {QStringLiteral("Porta serial desconectada")});
    l.porta.fechaPorta();
    QVERIFY(l.pty.start(l.pty.number()));
    QTest::qWait(1500);
    QCOMPARE(debugLines, QStringList {QStringLiteral("Porta serial desconectada")});

    // Nor does a port closed while it listens: the device is free for others.
    QCOMPARE(l.porta.openPort(l.pty.portName()), 0);
    l.porta.fechaPorta();
    const int outro = ::open(QFile::encodeName(l.pty.portPath()).constData(),
        O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(outro >= 0);
    QCOMPARE(::flock(outro, LOCK_EX | LOCK_NB), 0);
    ::close(outro);
    QVERIFY(l.pty.send("5"));
    QTest::qWait(100);
    QCOMPARE(l.spy.count(), 0);
}

void TestPortaSerial::decodesEveryByte_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codigo");
    QTest::addColumn<QString>("texto");

    const QMap<char, QPair<int, QString>> comandos {
        {'1', {31, QStringLiteral("Liga Led Verde")}},
        {'2', {32, QStringLiteral("Desliga Verde")}},
        {'3', {33, QStringLiteral("Liga Led Amarelo")}},
        {'4', {34, QStringLiteral("Desliga Amarelo")}},
        {'5', {35, QStringLiteral("Liga Led Vermelho")}},
        {'6', {36, QStringLiteral("Desliga Vermelho ")}},
        {'7', {37, QStringLiteral("Liga sirene")}},
        {'8', {38, QStringLiteral("Desliga Sirene ")}},
    };
    for (int byte = 0; byte < 256; ++byte) {
        const auto c = char(byte);
        const QPair<int, QString> comando = comandos.value(c, {0, QString()});
        QTest::addRow("0x%02x", byte) << byte << comando.first << comando.second;
    }
}

void TestPortaSerial::decodesEveryByte()
{
    QFETCH(int, byte);
    QFETCH(int, codigo);
    QFETCH(QString, texto);

    const std::vector<Comando> comandos = decodificaComandos(QByteArray(1, char(byte)));
    if (codigo == 0) {
        QVERIFY(comandos.empty());
        return;
    }
    QCOMPARE(comandos.size(), size_t(1));
    QCOMPARE(comandos[0].codigo, codigo);
    QCOMPARE(QString::fromUtf8(comandos[0].texto), texto);
}

void TestPortaSerial::logsAndEmitsPerChunk_data()
{
    QTest::addColumn<QByteArray>("chunk");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("emitted");

    QTest::newRow("6") << QByteArray("6")
                       << QStringList {QStringLiteral("\"6\""), QStringLiteral("\"36\""),
                              QStringLiteral("Desliga Vermelho ")}
                       << QList<int> {36};
    QTest::newRow("15") << QByteArray("15")
                        << QStringList {QStringLiteral("\"15\""), QStringLiteral("\"3135\""),
                               QStringLiteral("Liga Led Verde"),
                               QStringLiteral("Liga Led Vermelho")}
                        << QList<int> {31, 35};
    QTest::newRow("1 CR LF") << QByteArray("1\r\n")
                             << QStringList {QStringLiteral("\"1\\r\\n\""),
                                    QStringLiteral("\"310d0a\""), QStringLiteral("Liga Led Verde")}
                             << QList<int> {31};
    QTest::newRow("CR LF") << QByteArray("\r\n")
                           << QStringList {QStringLiteral("\"\\r\\n\""), QStringLiteral("\"0d0a\"")}
                           << QList<int> {};
    QTest::newRow("5555") << QByteArray("5555")
                          << QStringList {QStringLiteral("\"5555\""),
                                 QStringLiteral("\"35353535\""),
                                 QStringLiteral("Liga Led Vermelho"),
                                 QStringLiteral("Liga Led Vermelho"),
                                 QStringLiteral("Liga Led Vermelho"),
                                 QStringLiteral("Liga Led Vermelho")}
                          << QList<int> {35, 35, 35, 35};
    QTest::newRow("19a7") << QByteArray("19a7")
                          << QStringList {QStringLiteral("\"19a7\""),
                                 QStringLiteral("\"31396137\""), QStringLiteral("Liga Led Verde"),
                                 QStringLiteral("Liga sirene")}
                          << QList<int> {31, 37};
    QTest::newRow("8 and binary") << QByteArray("\x00\xff"
                                                "8",
        3)
                                  << QStringList {QStringLiteral("\"\\x00\\xFF\"\"8\""),
                                         QStringLiteral("\"00ff38\""),
                                         QStringLiteral("Desliga Sirene ")}
                                  << QList<int> {38};
}

void TestPortaSerial::logsAndEmitsPerChunk()
{
    QFETCH(QByteArray, chunk);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, emitted);

    Listening l;
    // Each text line is logged before its code is emitted.
    QStringList linesAtEmission;
    connect(&l.porta, &PortaSerial::targetChanged, this,
        [&] { linesAtEmission << QString::number(debugLines.size()); });

    QVERIFY(l.open());
    QVERIFY(l.pty.send(chunk));
    QTRY_COMPARE(debugLines.size(), lines.size());
    QTest::qWait(50);
    QCOMPARE(debugLines, lines);
    QCOMPARE(codes(l.spy), emitted);
    QStringList expectedAtEmission;
    for (int i = 0; i < emitted.size(); ++i)
        expectedAtEmission << QString::number(3 + i);
    QCOMPARE(linesAtEmission, expectedAtEmission);
}

void TestPortaSerial::loadGuard_data()
{
    QTest::addColumn<bool>("created");
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("fails");

    QTest::newRow("view not created") << false << QStringLiteral("qrc:/main.qml") << true;
    QTest::newRow("view created") << true << QStringLiteral("qrc:/main.qml") << false;
    QTest::newRow("other document not created")
        << false << QStringLiteral("qrc:/outro.qml") << false;
    QTest::newRow("other document created") << true << QStringLiteral("qrc:/outro.qml") << false;
}

void TestPortaSerial::loadGuard()
{
    QFETCH(bool, created);
    QFETCH(QString, url);
    QFETCH(bool, fails);

    QObject root;
    const QUrl vista(QStringLiteral("qrc:/main.qml"));
    QCOMPARE(vistaFalhou(created ? &root : nullptr, QUrl(url), vista), fails);
}

void TestPortaSerial::silencesOnlyConnectionsWarnings()
{
    silenciaAvisoDeConnections();
    QVERIFY(!QLoggingCategory("qt.qml.connections").isWarningEnabled());
    QVERIFY(QLoggingCategory("qt.qml.binding").isWarningEnabled());
    QVERIFY(QLoggingCategory("qt.qpa.xcb").isWarningEnabled());
    QVERIFY(QLoggingCategory::defaultCategory()->isDebugEnabled());
    QVERIFY(QLoggingCategory::defaultCategory()->isWarningEnabled());
}

QTEST_GUILESS_MAIN(TestPortaSerial)
#include "tst_portaserial.moc"
