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
class TextCodec;

enum class Severity
{
    // The device takes the value, but it is probably not what the user meant.
    Warning,
    // The device cannot take the value as meant.
    Error,
};

// What keeps a value from going out to a device.
enum class Barrier
{
    // Judged only: a warning never stops a write; an error stops it under
    // --strict, and the window asks first.
    None,
    // The device may cut the value there ("#" ends its command, "," splits
    // the Wi-Fi command's two values), or it is longer than its box takes:
    // --strict refuses it.
    Strict,
    // Characters the code page lacks would arrive as '?': refused unless the
    // user allowed it (--lossy, or the window's question).
    CodePage,
    // A control character would change the command the device receives (a
    // line feed starts another): always refused.
    Meaning,
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
    Barrier barrier = Barrier::None;
};

// What the user allowed for one change of a device.
struct Allowance
{
    bool lossy = false;  // text that becomes '?'
    bool strict = false; // nothing with an error or a Strict barrier goes out
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
// Text is judged as `codec` carries it to the device.
QList<Problem> problems(const SettingsRecord &record, Scope scope, const TextCodec &codec);

bool hasErrors(const QList<Problem> &problems);

// How one text travels in a command, judged on its own: a control character,
// a character the code page lacks, a "#".
QList<Problem> carriage(Field field, const QString &text, const TextCodec &codec);

// The gate every value passes on its way to a device: of `problems`, those
// that keep the values from being sent with what the user allowed.
QList<Problem> refusals(const QList<Problem> &problems, Allowance allowance);

// The APRS-IS passcode of a callsign; an SSID ("-5") is not part of it.
int passcode(QStringView callsign);

// The position report at the start of a position box's text, in words
// ("30°35.00′ N, 114°17.00′ E, symbol /r; PHG: 1 W, 10 ft, 1 dBi, omni");
// nothing when the text does not begin with a report.
std::optional<QString> describePosition(QStringView text);

} // namespace Checks
} // namespace telx5
