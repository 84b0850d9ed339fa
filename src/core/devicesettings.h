#pragma once

#include "codepage.h"
#include "settingsrecord.h"
#include "settingstable.h"

#include <QList>
#include <QStringList>

#include <utility>

namespace telx5::DeviceSettings {

// Choice lists, in the order the window offers them.
inline QStringList dhcpChoices()
{
    return SettingsTable::choices(Field::Dhcp);
}
inline QStringList ssidChoices()
{
    return SettingsTable::choices(Field::Ssid);
}
inline QStringList serverChoices()
{
    return SettingsTable::choices(Field::Server);
}
inline QStringList unitChoices()
{
    return SettingsTable::choices(Field::Unit);
}
inline QStringList modChoices()
{
    return SettingsTable::choices(Field::Mod);
}
inline QStringList pathChoices()
{
    return SettingsTable::choices(Field::Path);
}
inline QStringList aliasChoices()
{
    return SettingsTable::choices(Field::Alias);
}
inline QStringList backlightChoices()
{
    return SettingsTable::choices(Field::Backlight);
}

// The address mode's entry for static addressing.
inline const QString StaticIp = SettingsTable::entryOf(Setting::Dhcp, "0");

// The Default button: factory values into every field but the Wi-Fi
// credentials, the version and the octet boxes' enabled state.
void applyDefaults(SettingsRecord &record);

// The fields that Write and Save carry as text, with how many of their
// characters the code page lacks (those go out as '?'); fields that lose
// nothing are left out.
QList<std::pair<Field, qsizetype>> lossyFields(const SettingsRecord &record,
                                               const TextCodec &codec);

// One status line for such a field, in the window's language.
QString lossLine(Field field, qsizetype lost);

// The settings of `settings` named by their captions, for a status line.
QString captions(const QList<Setting> &settings);

} // namespace telx5::DeviceSettings

namespace telx5::WireCodes {

bool isStaticAddressing(const QString &dhcpText);

} // namespace telx5::WireCodes
