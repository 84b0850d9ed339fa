#pragma once

#include "seriallink.h"

#include <QByteArray>
#include <QString>

#include <functional>

namespace telx5::fuzz {

// A port with nothing behind it: the fuzzer delivers its bytes, sees what is
// sent, refuses opens and pulls the cable.
class FakeLink final : public SerialLink
{
public:
    bool setPortName(const QString &name) override
    {
        if (m_open)
            return false;
        m_name = name;
        return true;
    }
    QString portName() const override { return m_name; }
    bool isOpen() const override { return m_open; }
    bool open(QString *error = nullptr) override
    {
        if (m_open || refuseOpen) {
            if (error)
                *error = QStringLiteral("Port %1 is in use").arg(m_name);
            return false;
        }
        setDisconnected(false);
        m_open = true;
        return true;
    }
    void close() override { m_open = false; }
    bool send(QByteArrayView bytes) override
    {
        if (!m_open)
            return false;
        if (onSend)
            onSend(bytes);
        return true;
    }

    // Bytes from the device, as one data event; none reach a closed port.
    void arrive(const QByteArray &bytes)
    {
        if (m_open)
            Q_EMIT received(bytes);
    }
    // The cable is pulled: the port closes under its user.
    void pull()
    {
        if (!m_open)
            return;
        m_open = false;
        setDisconnected(true);
    }

    std::function<void(QByteArrayView)> onSend;
    bool refuseOpen = false;

private:
    QString m_name;
    bool m_open = false;
};

} // namespace telx5::fuzz
