#pragma once

#include "seriallink.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace telx5::testing {

// A port with nothing behind it: a test or a fuzz target decides whether it
// opens, sees what is sent, delivers the device's bytes and pulls the cable.
class FakeLink : public SerialLink
{
public:
    enum class Opens
    {
        OnRequest, // until refuseOpen is set
        Never,     // the window's tests: no device, though `opened` may claim one
    };

    explicit FakeLink(Opens opens = Opens::OnRequest) : refuseOpen(opens == Opens::Never) {}

    bool setPortName(const QString &name) override
    {
        if (opened)
            return false;
        m_name = name;
        return true;
    }
    QString portName() const override { return m_name; }
    bool isOpen() const override { return opened; }
    // A refused open gives no reason, so the caller's own message stands alone.
    bool open(QString * = nullptr) override
    {
        if (opened || refuseOpen)
            return false;
        setDisconnected(false);
        opened = true;
        return true;
    }
    void close() override { opened = false; }
    bool send(QByteArrayView bytes) override
    {
        if (!opened)
            return false;
        if (onSend)
            onSend(bytes);
        return true;
    }

    // Bytes from the device, as one data event; none reach a closed port.
    void arrive(const QByteArray &bytes)
    {
        if (opened)
            Q_EMIT received(bytes);
    }
    // The cable is pulled: the port closes under its user.
    void pull()
    {
        if (!opened)
            return;
        opened = false;
        setDisconnected(true);
    }

    bool opened = false;
    bool refuseOpen;
    std::function<void(QByteArrayView)> onSend;

private:
    QString m_name;
};

} // namespace telx5::testing
