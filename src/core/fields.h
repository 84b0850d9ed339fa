#pragma once

#include <QString>

#include <array>

namespace telx5 {

// One entry per control that holds a device setting. The four addresses have
// one entry per octet box, left to right.
enum class Field
{
    Callsign,
    Ssid,
    Pass,
    Dhcp,
    Ip1,
    Ip2,
    Ip3,
    Ip4,
    Mask1,
    Mask2,
    Mask3,
    Mask4,
    Gate1,
    Gate2,
    Gate3,
    Gate4,
    Dns1,
    Dns2,
    Dns3,
    Dns4,
    Position,
    Comment,
    Server,
    SentTime,
    Filter,
    Backlight,
    Unit,
    Digi, // "1" when ticked, "0" otherwise
    Mod,
    Path,
    Alias,
    Freq,
    WifiSsid,
    WifiPass,
    Version, // the device's firmware version
    Ctcss,
};

inline constexpr int FieldCount = static_cast<int>(Field::Ctcss) + 1;

enum class Address
{
    Ip,
    Mask,
    Gate,
    Dns
};

// The octet box `index` (0..3, left to right) of an address.
constexpr Field octetField(Address address, int index)
{
    return static_cast<Field>(static_cast<int>(Field::Ip1) + 4 * static_cast<int>(address) + index);
}

constexpr std::array<Address, 4> AllAddresses = {Address::Ip, Address::Mask, Address::Gate,
                                                 Address::Dns};

} // namespace telx5
