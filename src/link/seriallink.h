#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace telx5 {

// The window's one serial port, always "115200,n,8,1". A narrow seam
// so that tests can put a faulty port where a pseudo-terminal cannot.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The port that open() opens. Fails while the port is open.
    virtual bool setPortName(const QString &name) = 0;
    virtual QString portName() const = 0;

    virtual bool isOpen() const = 0;
    // Applies "115200,n,8,1" and opens. On failure `error` says why
    // (missing, in use, no permission).
    virtual bool open(QString *error = nullptr) = 0;
    // Lets the queued bytes leave first, bounded by a short time-out.
    virtual void close() = 0;
    // Output. False when the port is closed or the write fails.
    virtual bool send(QByteArrayView bytes) = 0;

Q_SIGNALS:
    // A data event: every byte that was waiting, in order.
    void received(const QByteArray &bytes);
};

} // namespace telx5
