#pragma once

#include "qtseriallink.h"
#include "simdevice.h"

#include <QByteArray>
#include <QString>

namespace telx5::testing {

// The tool's port opened on a simulated device, collecting what arrives.
struct SimLink
{
    SimDevice device;
    QtSerialLink link;
    QByteArray arrived;
    int reads = 0;

    SimLink()
    {
        QObject::connect(&link, &SerialLink::received, &link, [this](const QByteArray &bytes) {
            arrived += bytes;
            ++reads;
        });
    }

    // Empty on success, else why it failed.
    QString start()
    {
        QString error;
        if (!device.start(&error))
            return error;
        if (!link.setPortName(device.portPath()))
            return QStringLiteral("port name refused");
        if (!link.open(&error))
            return error;
        return {};
    }
};

} // namespace telx5::testing
