// SPDX-FileCopyrightText: 2026 Tavelo developers
// SPDX-License-Identifier: MIT

#ifndef PORTASERIAL_H
#define PORTASERIAL_H

#include <QFileSystemWatcher>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

// Owns the serial port the tower listens on and turns the command bytes that
// arrive into targetChanged(code) for the view. When the device goes away it
// closes the port and opens it again as soon as the device node is back
// (with a retry once a second where no such event comes).
class PortaSerial : public QObject {
    Q_OBJECT

public:
    explicit PortaSerial(QObject *parent);
    ~PortaSerial() override;

    // 0 on success. On failure it tells the user and ends the process.
    int openPort(const QString &portName);
    // Closes the port for good: no reconnection follows.
    void fechaPorta();

signals:
    void targetChanged(const int &status);

private slots:
    void receiveInfo();

private:
    // Deliberately not slots: the meta-object holds only the interface above.
    bool configuraEAbre(const QString &portName);
    void trataErro(QSerialPort::SerialPortError erro);
    void desconecta();
    void tentaReconectar();

    QSerialPort *serialPort = nullptr;
    QTimer reconexao;
    QFileSystemWatcher pastaDoDispositivo;
};

#endif // PORTASERIAL_H
