// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#include "portaserial.h"

#include "comandos.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <cstdlib>

#ifdef Q_OS_UNIX
#include "processo_unix.h"
#endif

namespace {

void esquece(QFileSystemWatcher &vigia)
{
    const QStringList pastas = vigia.directories();
    if (!pastas.isEmpty()) // Qt warns about an empty list
        vigia.removePaths(pastas);
}

} // namespace

PortaSerial::PortaSerial(QObject *parent)
    : QObject(parent)
    , serialPort(new QSerialPort)
{
    reconexao.setInterval(1000);
    connect(&reconexao, &QTimer::timeout, this, &PortaSerial::tentaReconectar);
    connect(&pastaDoDispositivo, &QFileSystemWatcher::directoryChanged, this,
        &PortaSerial::tentaReconectar);
    connect(serialPort, &QSerialPort::errorOccurred, this, &PortaSerial::trataErro);
}

PortaSerial::~PortaSerial()
{
    if (serialPort->isOpen())
        serialPort->close();
    delete serialPort;
}

bool PortaSerial::configuraEAbre(const QString &portName)
{
    serialPort->setPortName(portName);
    // 300 is below the lowest named rate; pass the plain number.
    serialPort->setBaudRate(300, QSerialPort::AllDirections);
    serialPort->setDataBits(QSerialPort::Data8);
    serialPort->setParity(QSerialPort::NoParity);
    serialPort->setStopBits(QSerialPort::OneStop);
    serialPort->setFlowControl(QSerialPort::NoFlowControl);
    if (!serialPort->open(QIODevice::ReadWrite))
        return false;
#ifdef Q_OS_UNIX
    // Qt's lock file keeps out only those who honour it; another program
    // holding the device's own lock would split the bytes with us.
    if (!travaExclusiva(int(serialPort->handle()))) {
        serialPort->close();
        return false;
    }
#endif
    return true;
}

int PortaSerial::openPort(const QString &portName)
{
    fechaPorta();

    if (configuraEAbre(portName)) {
        // Unique: opening again must not deliver every read twice.
        connect(serialPort, SIGNAL(readyRead()), this, SLOT(receiveInfo()), Qt::UniqueConnection);
        return 0;
    }

    qDebug() << "Porta não foi aberta";
    QMessageBox caixa;
    caixa.setText(QStringLiteral("A porta serial não foi aberta. Verifique o número da porta no "
                                 "gerenciador de dispositivos"));
    caixa.exec();
    // A failed open is a failure: never report it as success.
    std::exit(EXIT_FAILURE);
}

void PortaSerial::fechaPorta()
{
    reconexao.stop();
    esquece(pastaDoDispositivo);
    if (serialPort->isOpen())
        serialPort->close();
}

void PortaSerial::receiveInfo()
{
    const QByteArray dados = serialPort->readAll();
    if (dados.isEmpty()) {
        // Readable yet nothing to read: the other side has hung up.
        QMetaObject::invokeMethod(this, &PortaSerial::desconecta, Qt::QueuedConnection);
        return;
    }
    qDebug() << dados;
    qDebug() << dados.toHex();
    for (const Comando &comando : decodificaComandos(dados)) {
        qDebug() << comando.texto;
        emit targetChanged(comando.codigo);
    }
}

void PortaSerial::trataErro(QSerialPort::SerialPortError erro)
{
    bool foiEmbora = erro == QSerialPort::ResourceError || erro == QSerialPort::ReadError;
#ifdef Q_OS_WIN
    foiEmbora = foiEmbora || erro == QSerialPort::PermissionError;
#endif
    // Errors of a closed port are failed reconnection attempts: nothing to do.
    if (foiEmbora && serialPort->isOpen()) {
        // Closing from inside errorOccurred crashed older Qt versions.
        QMetaObject::invokeMethod(this, &PortaSerial::desconecta, Qt::QueuedConnection);
    }
}

void PortaSerial::desconecta()
{
    if (!serialPort->isOpen())
        return; // several errors of one loss queue several calls
    serialPort->close();
    qDebug() << "Porta serial desconectada";
    // A name without a path is a node in /dev; watching that folder brings
    // the device back the moment its node reappears. Where there is no such
    // folder (Windows), the timer alone retries.
    const QString pasta
        = QFileInfo(QDir(QStringLiteral("/dev")), serialPort->portName()).absolutePath();
    if (QFileInfo(pasta).isDir())
        pastaDoDispositivo.addPath(pasta);
    reconexao.start();
}

void PortaSerial::tentaReconectar()
{
    if (serialPort->isOpen() || !configuraEAbre(serialPort->portName()))
        return;
    reconexao.stop();
    esquece(pastaDoDispositivo);
    qDebug() << "Porta serial reconectada";
}
