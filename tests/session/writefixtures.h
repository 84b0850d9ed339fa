#pragma once

#include "deviceview.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QString>

#include <utility>

namespace telx5::testing {

// Values typed into the window before a write, and the bytes the device must
// receive for them, in order.
struct WriteFixture
{
    QList<std::pair<Field, QString>> window;
    QByteArray lines;

    void fill(DeviceView &view) const;
    QList<Field> fields() const;
};

// DHCP; a comment with the separators "," and "#"; every choice coded.
WriteFixture dhcpWrite();
// A static address with an empty octet box and an empty filter.
WriteFixture staticWrite();

} // namespace telx5::testing

Q_DECLARE_METATYPE(telx5::testing::WriteFixture)
