#ifndef PORTASERIAL_H
#define PORTASERIAL_H

#include <QObject>
#include <QString>

class QSerialPort;

// Owns the serial port the tower listens on and turns the command bytes that
// arrive into targetChanged(code) for the view.
class PortaSerial : public QObject {
    Q_OBJECT

public:
    explicit PortaSerial(QObject *parent);
    ~PortaSerial() override;

    // 0 on success. On failure it tells the user and ends the process.
    int openPort(const QString &portName);

signals:
    void targetChanged(const int &status);

private slots:
    void receiveInfo();

private:
    QSerialPort *serialPort = nullptr;
};

#endif // PORTASERIAL_H
