#pragma once

#include "fields.h"

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>

// What each setting of a TELX5 is: how the device reports it, how a settings
// file holds it, which command writes it, its caption, its choices and their
// wire codes. The parser, the settings file, the write's commands, the checks
// and both front ends read this table; none of them spells a keyword itself.
namespace telx5 {

// One line of a device's answer to "AT+READ#", in the order a settings file
// holds them; the version comes last and is in no file.
enum class Setting
{
    Callsign, // the callsign and the SSID, on one line
    Pass,
    Dhcp,
    Ip,
    Mask,
    Gate,
    Dns,
    Position,
    Comment,
    Server,
    SentTime,
    Filter,
    Backlight,
    Freq,
    Unit,
    Digi,
    Mod,
    Path,
    Alias,
    Version,
};

inline constexpr int SettingCount = static_cast<int>(Setting::Version) + 1;

// How a value stands after its keyword, in an answer and in a file line.
enum class ValueForm
{
    Text,         // the rest of the line
    CallsignSsid, // the callsign, "-", the SSID
    Octets,       // four octet texts separated by ","
    Coded,        // a wire code (see SettingRow::codes)
    OneCharacter, // the first character of the rest
};

// What the parser does with a code that is not in the table.
enum class UnknownCode
{
    Ignored,     // the field keeps its text
    TakenAsText, // the code is the field's text
    Unticked,    // a check box: anything but its "ticked" code is unticked
    // Kept as it arrived, as "code 0", saved and written back as the code:
    // a device of a later firmware, or set by other software, is left as it is.
    Kept,
};

// A list entry (or the check box's "1"/"0") and the code it travels as.
struct WireCode
{
    const char16_t *entry;
    const char *code;
};

struct SettingRow
{
    Setting setting;
    ValueForm form;
    // The parser takes a line beginning with this as the setting, and finds
    // the value from byte `valueAt` on.
    const char *answerPrefix;
    qsizetype valueAt;
    // The keyword of its settings-file line ("CALLSIGN" for "CALLSIGN:…");
    // null when no file holds it.
    const char *fileKeyword;
    // What the file line's value ends with (the DHCP line's "#").
    const char *fileSuffix;
    // The host command that writes it ("AT+CALL,"); null when none does.
    const char *command;
    // The caption of its place in the window, in the window's source
    // language (its Chinese form is in the translation file).
    const char *caption;
    Field firstField;
    int fieldCount;
    // Coded settings: the codes, and how many bytes of the line the code
    // takes (0: the rest of the line).
    std::span<const WireCode> codes;
    qsizetype codeLength;
    UnknownCode unknownCode;
    // The code written, and saved, for a text that is no entry of `codes`;
    // null: the text itself.
    const char *writeFallback;
    const char *fileFallback;
    // Only sent, and only compared after a write, when the address mode is
    // STATIC IP.
    bool staticOnly;
    // Sent last, after the alias with no wait between them.
    bool sentLast;
};

// Every control that holds a setting, with what the window needs of it.
struct FieldRow
{
    Field field;
    // Its name in a status line ("Comment: 2 characters cannot be sent…").
    const char *name;
    // The most characters the user can type; 0 when unlimited.
    int typingLimit;
    // Leading and trailing spaces are dropped on every change.
    bool trimsOnChange;
    // Write and Save carry it as text in the code page, so they name the
    // characters it cannot carry.
    bool codePageChecked;
};

class SettingsRecord;

namespace SettingsTable {

// Every setting, in the order a settings file holds them.
std::span<const SettingRow> settings();
const SettingRow &row(Setting setting);
// The settings a settings file holds (19: all but the version).
QList<Setting> fileSettings();
// The setting a control belongs to; none for the Wi-Fi credentials and the
// CTCSS box.
std::optional<Setting> settingOf(Field field);
QList<Field> fields(Setting setting);

const FieldRow &field(Field field);

QLatin1StringView fileKeyword(Setting setting);
// Its caption in the window's language.
QString caption(Setting setting);
// A field's name in status lines, in the window's language.
QString fieldName(Field field);

// The entries of a choice list, in the order the window offers them.
QStringList choices(Field field);

// Entry -> code; the fall-back for anything else: written to the device, or
// saved to a file.
QString writeCode(Setting setting, const QString &entry);
QString fileCode(Setting setting, const QString &entry);
// Code -> entry, as the parser maps answers back; empty for an unknown code.
QString entryOf(Setting setting, QByteArrayView code);

// A code outside a setting's table as its field holds it ("code 0"); empty
// when the bytes are no code (not one printable character).
QString keptCodeText(QByteArrayView code);
// The code a field's "code 0" holds; empty for any other text.
QString keptCode(const QString &text);

// Where a value goes: its codes and fall-backs differ between the two.
enum class Destination
{
    Device,
    File,
    Window, // for the user to read: entries as the lists show them
    // For a message about what went out: an entry with the code that
    // carries it ("mi (code 2)").
    Report,
};

// A setting's value as a command or a file line carries it: the callsign
// padded to six (never cut) with its SSID, the octets joined by ",", an entry
// by its code; other text as it stands. For the window, the callsign is not
// padded and an entry stays as it is.
QString valueText(Setting setting, const SettingsRecord &record, Destination destination);

} // namespace SettingsTable

} // namespace telx5
