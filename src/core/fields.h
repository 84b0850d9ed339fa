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

// The settings as the window shows them, plus the status box that reports on
// them. The window implements it over its controls, SettingsRecord over plain
// texts; the parser, the sessions and the settings file only see this.
class DeviceView
{
public:
    virtual ~DeviceView() = default;

    virtual QString text(Field field) const = 0;
    virtual void setText(Field field, const QString &value) = 0;

    // The sixteen octet boxes are enabled and disabled together.
    virtual bool octetBoxesEnabled() const = 0;
    virtual void setOctetBoxesEnabled(bool enabled) = 0;

    // The status box.
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;

    // The status box's usual report: CR LF, then the message.
    void appendStatusLine(const QString &message);
    // Appends text as it stands. Views override it so that it costs the
    // length of `text`, not of the box: a loaded file appends every line, and
    // a long "CONNECT" line appends once per byte.
    virtual void appendStatus(const QString &text);
};

// Window-level flags raised by the parser and polled by the waiting sessions.
struct Flags
{
    bool connectOk = false;   // "CONNECT"
    bool readEnd = false;     // "READ END"
    bool freqSaved = false;   // "freq save"
    bool wifiWriteOk = false; // "WIFI Write success"
    bool eeramReset = false;  // "eeram reset"
};

} // namespace telx5
