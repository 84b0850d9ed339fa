#pragma once

#include "settingsrecord.h"

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

// The line that writes one setting from the record's values, its codes
// coded; nothing when the value cannot be sent (a callsign longer than 6,
// which padding cannot fill) or no command writes the setting.
std::optional<QString> settingLine(Setting setting, const SettingsRecord &record);

// One line of the write session and the waits that follow it.
struct WriteStep
{
    std::optional<QString> line; // empty: the line cannot be sent (callsign too long)
    QList<int> waitsMs;
};

// The write session's lines, in order, from the view's current values.
QList<WriteStep> writePlan(const SettingsRecord &record);

} // namespace telx5::Commands
