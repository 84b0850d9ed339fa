#pragma once

#include "seriallink.h"

#include <QElapsedTimer>
#include <QSerialPort>

namespace telx5 {

// SerialLink over QSerialPort: LineSpeed, no parity, 8 data bits, 1 stop bit.
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
    qint64 unsentAtClose() const override { return m_unsentAtClose; }

private:
    // What the system still holds when the wait gives up.
    qint64 drain();
    void lose();

    QSerialPort m_port;
    // As given: QSerialPort reports a device path ("/dev/pts/3") by a short
    // name of its own.
    QString m_name;
    // When the line has sent everything written so far, on m_clock: bytes
    // leave at LineBitsPerByte bits each, however fast the writes returned.
    QElapsedTimer m_clock;
    qint64 m_lineIdleAtNs = 0;
    qint64 m_lastSendNs = 0;
    bool m_closing = false;
    qint64 m_unsentAtClose = 0;
};

} // namespace telx5
