#pragma once

#include "fields.h"

#include <QList>
#include <QString>

#include <optional>

// Host command lines, as texts ending in "#" and CR LF. The sender encodes
// them with the window's TextCodec.
namespace telx5::Commands {

QString connect();    // CR LF "SETUP#" CR LF
QString read();       // "AT+READ#" CR LF
QString reboot();     // "REBOOT#" CR LF
QString resetEeram(); // "AT+RESET#" CR LF
QString wifi(const QString &ssid, const QString &password);

// Callsign padded with spaces to 6; nothing when it is longer than 6.
std::optional<QString> call(const QString &callsign, const QString &ssid);
QString pass(const QString &pass);
QString dhcp(bool staticAddressing); // "AT+DHCP,0#" static, "AT+DHCP,1#" otherwise
QString address(Address address, const QString &a, const QString &b, const QString &c,
                const QString &d); // AT+IP, AT+SUB, AT+GW, AT+DNS
QString position(const QString &text);
QString comment(const QString &text);
QString server(const QString &text);
QString sentTime(const QString &text);
QString filter(const QString &text);
QString backlight(const QString &text); // the entry text; coded here
QString unit(const QString &text);
QString digi(const QString &text);
QString mod(const QString &text);
QString path(const QString &text);
QString alias(const QString &text);
QString freq(const QString &text); // CR LF "AT+FREQ," text "#" CR LF

// One line of the write session and the waits that follow it.
struct WriteStep
{
    std::optional<QString> line; // empty: the line cannot be sent (callsign too long)
    QList<int> waitsMs;
};

// The write session's lines, in order, from the view's current values.
QList<WriteStep> writePlan(const DeviceView &view);

} // namespace telx5::Commands
