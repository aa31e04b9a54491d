#include "portaserial.h"

#include "comandos.h"

#include <QDebug>
#include <QMessageBox>
#include <QSerialPort>
#include <cstdlib>

PortaSerial::PortaSerial(QObject *parent)
    : QObject(parent)
    , serialPort(new QSerialPort)
{
}

PortaSerial::~PortaSerial()
{
    if (serialPort->isOpen())
        serialPort->close();
    delete serialPort;
}

int PortaSerial::openPort(const QString &portName)
{
    if (serialPort->isOpen())
        serialPort->close();

    serialPort->setPortName(portName);
    // 300 is below the lowest named rate; pass the plain number.
    serialPort->setBaudRate(300, QSerialPort::AllDirections);
    serialPort->setDataBits(QSerialPort::Data8);
    serialPort->setParity(QSerialPort::NoParity);
    serialPort->setStopBits(QSerialPort::OneStop);
    serialPort->setFlowControl(QSerialPort::NoFlowControl);

    if (serialPort->open(QIODevice::ReadWrite)) {
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

void PortaSerial::receiveInfo()
{
    const QByteArray dados = serialPort->readAll();
    qDebug() << dados;
    qDebug() << dados.toHex();
    for (const Comando &comando : decodificaComandos(dados)) {
        qDebug() << comando.texto;
        emit targetChanged(comando.codigo);
    }
}
