#pragma once

#include "seriallink.h"

#include <QSerialPort>

namespace telx5 {

// SerialLink over QSerialPort: 115200 baud, no parity, 8 data bits, 1 stop bit.
class QtSerialLink : public SerialLink
{
    Q_OBJECT
public:
    explicit QtSerialLink(QObject *parent = nullptr);

    bool setPortName(const QString &name) override;
    QString portName() const override;
    bool isOpen() const override;
    bool open(QString *error = nullptr) override;
    void close() override;
    bool send(QByteArrayView bytes) override;

private:
    QSerialPort m_port;
    // As given: QSerialPort reports a device path ("/dev/pts/3") by a short
    // name of its own.
    QString m_name;
};

} // namespace telx5
