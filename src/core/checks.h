#pragma once

#include "fields.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// What the tool can tell about a value before it reaches the device: an
// APRS-IS passcode that belongs to another callsign, a position report the
// network cannot read, an address outside its subnet. The checks only judge;
// they never change a value.
namespace telx5 {

class SettingsRecord;

enum class Severity
{
    // The device takes the value, but it is probably not what the user meant.
    Warning,
    // The device cannot take the value as meant.
    Error,
};

struct Problem
{
    // The box that holds the value at fault (for an address, its octet box;
    // for a whole setting, its first box).
    Field field;
    Severity severity;
    // For the user, in the window's language, without the setting's name
    // ("Pass 40417 does not belong to NOCALL; its passcode is 12960").
    QString text;
};

namespace Checks {

// Which values are there to check: a settings file holds no Wi-Fi
// credentials, the window holds them.
enum class Scope
{
    FileSettings,
    WithWifi,
};

// Every problem of the values in `scope`, in the order a settings file holds
// the settings (the Wi-Fi credentials last). The callsign's padding blanks
// are dropped first, as the device drops them; the addresses count only for
// static addressing, as only then does the write send them.
QList<Problem> problems(const SettingsRecord &record, Scope scope);

bool hasErrors(const QList<Problem> &problems);

// The APRS-IS passcode of a callsign; an SSID ("-5") is not part of it.
int passcode(QStringView callsign);

// The position report at the start of a position box's text, in words
// ("30°35.00′ N, 114°17.00′ E, symbol /r; PHG: 1 W, 10 ft, 1 dBi, omni");
// nothing when the text does not begin with a report.
std::optional<QString> describePosition(QStringView text);

} // namespace Checks
} // namespace telx5
