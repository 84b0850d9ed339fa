#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace telx5 {

// The device's line speed in baud; the line has no parity, 8 data bits and
// 1 stop bit, and never runs at another speed.
inline constexpr int LineSpeed = 115200;
// A start bit, 8 data bits and a stop bit carry each byte on the wire.
inline constexpr int LineBitsPerByte = 10;
inline constexpr int LineBytesPerSecond = LineSpeed / LineBitsPerByte;

// The window's one serial port, always at LineSpeed, no parity, 8 data bits,
// 1 stop bit. A narrow seam so that tests can put a faulty port where a
// pseudo-terminal cannot.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The port that open() opens. Fails while the port is open.
    virtual bool setPortName(const QString &name) = 0;
    virtual QString portName() const = 0;

    virtual bool isOpen() const = 0;
    // Applies the line settings and opens. On failure `error` says why
    // (missing, in use, no permission).
    virtual bool open(QString *error = nullptr) = 0;
    // Lets the queued bytes leave the wire first, within a bound, so that the
    // line settings change only once the device has received them.
    virtual void close() = 0;
    // Output. False when the port is closed or the write fails.
    virtual bool send(QByteArrayView bytes) = 0;
    // How many of the bytes sent before the last close never left the
    // system (the close gave up waiting for them); -1 when the port went away
    // under them and nobody knows. 0 when the close let everything leave.
    virtual qint64 unsentAtClose() const { return 0; }

    // The device went away while the port was open (a pulled USB cable): the
    // port has been closed. Holds until the next open.
    bool wasDisconnected() const { return m_disconnected; }

Q_SIGNALS:
    // A data event: every byte that was waiting, in order.
    void received(const QByteArray &bytes);
    // The bytes of a send that the port accepted, as they were given.
    void sent(const QByteArray &bytes);
    void disconnected();

protected:
    void setDisconnected(bool lost)
    {
        m_disconnected = lost;
        if (lost)
            Q_EMIT disconnected();
    }

private:
    bool m_disconnected = false;
};

} // namespace telx5
