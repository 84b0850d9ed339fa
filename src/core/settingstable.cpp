#include "settingstable.h"

#include "settingsrecord.h"

#include <QCoreApplication>

namespace telx5::SettingsTable {

namespace {

constexpr WireCode DhcpCodes[] = {{u"DHCP", "1"}, {u"STATIC IP", "0"}};
constexpr WireCode UnitCodes[] = {{u"km", "1"}, {u"mi", "2"}, {u"公里", "3"}};
constexpr WireCode DigiCodes[] = {{u"1", "1"}, {u"0", "0"}};
constexpr WireCode PathCodes[] = {
    {u"None", "0"}, {u"WIDE1-1", "1"}, {u"WIDE1-1WIDE2-1", "2"}, {u"WIDE1-1WIDE2-2", "3"}};
constexpr WireCode AliasCodes[] = {{u"WIDE1", "1"}, {u"WIDE2", "2"}, {u"WIDE1+WIDE2", "3"}};
// The device reports the always-on backlight as "0" or "00"; every other
// entry travels as its own text.
constexpr WireCode BacklightCodes[] = {{u"ON", "00"}, {u"ON", "0"}};

constexpr std::span<const WireCode> None;

using enum ValueForm;
using enum UnknownCode;

// The captions are those of mainwindow.ui; the Chinese ones are its
// translations.
constexpr SettingRow Settings[] = {
    {Setting::Callsign, CallsignSsid, "CALLSIGN", 9, "CALLSIGN", "", "AT+CALL,",
     QT_TRANSLATE_NOOP("MainWindow", "Callsign"), Field::Callsign, 2, None, 0, Ignored, nullptr,
     nullptr, false, false},
    {Setting::Pass, Text, "PASS:", 5, "PASS", "", "AT+PASS,",
     QT_TRANSLATE_NOOP("MainWindow", "Pass"), Field::Pass, 1, None, 0, Ignored, nullptr, nullptr,
     false, false},
    {Setting::Dhcp, Coded, "DHCP:", 5, "DHCP", "#", "AT+DHCP,",
     QT_TRANSLATE_NOOP("MainWindow", "DHCP"), Field::Dhcp, 1, DhcpCodes, 1, Kept, "1", "1", false,
     false},
    {Setting::Ip, Octets, "IP:", 3, "IP", "", "AT+IP,", QT_TRANSLATE_NOOP("MainWindow", "IP"),
     Field::Ip1, 4, None, 0, Ignored, nullptr, nullptr, true, false},
    {Setting::Mask, Octets, "MASK:", 5, "MASK", "", "AT+SUB,",
     QT_TRANSLATE_NOOP("MainWindow", "Mask"), Field::Mask1, 4, None, 0, Ignored, nullptr, nullptr,
     true, false},
    {Setting::Gate, Octets, "GATE:", 5, "GATE", "", "AT+GW,",
     QT_TRANSLATE_NOOP("MainWindow", "Gate"), Field::Gate1, 4, None, 0, Ignored, nullptr, nullptr,
     true, false},
    {Setting::Dns, Octets, "DNS:", 4, "DNS", "", "AT+DNS,", QT_TRANSLATE_NOOP("MainWindow", "DNS"),
     Field::Dns1, 4, None, 0, Ignored, nullptr, nullptr, true, false},
    {Setting::Position, Text, "POSITION", 9, "POSITION", "", "AT+POSI,",
     QT_TRANSLATE_NOOP("MainWindow", "Posi+Comment"), Field::Position, 1, None, 0, Ignored, nullptr,
     nullptr, false, false},
    // The device's answer is matched on its first word only.
    {Setting::Comment, Text, "COMMENT", 13, "COMMENT TEXT", "", "AT+COMMENT,",
     QT_TRANSLATE_NOOP("MainWindow", "Status"), Field::Comment, 1, None, 0, Ignored, nullptr,
     nullptr, false, false},
    {Setting::Server, Text, "SERVER", 7, "SERVER", "", "AT+SERVER,",
     QT_TRANSLATE_NOOP("MainWindow", "Server"), Field::Server, 1, None, 0, Ignored, nullptr,
     nullptr, false, false},
    {Setting::SentTime, Text, "SENT TIME", 10, "SENT TIME", "", "AT+TIME,",
     QT_TRANSLATE_NOOP("MainWindow", "Tx time"), Field::SentTime, 1, None, 0, Ignored, nullptr,
     nullptr, false, false},
    {Setting::Filter, Text, "FILTER", 7, "FILTER", "", "AT+FILTER,",
     QT_TRANSLATE_NOOP("MainWindow", "Filter"), Field::Filter, 1, None, 0, Ignored, nullptr,
     nullptr, false, false},
    {Setting::Backlight, Coded, "BACKLIGHT:", 10, "BACKLIGHT", "", "AT+BACKLIGHT,",
     QT_TRANSLATE_NOOP("MainWindow", "Backlight"), Field::Backlight, 1, BacklightCodes, 0,
     TakenAsText, nullptr, nullptr, false, false},
    // The frequency is saved after the backlight but written last.
    {Setting::Freq, Text, "FREQ:", 5, "FREQ", "", "\r\nAT+FREQ,",
     QT_TRANSLATE_NOOP("MainWindow", "Tx/Rx"), Field::Freq, 1, None, 0, Ignored, nullptr, nullptr,
     false, true},
    // A text that is no entry is written as miles but saved as kilometres.
    {Setting::Unit, Coded, "UNIT:", 5, "UNIT", "", "AT+UNIT,",
     QT_TRANSLATE_NOOP("MainWindow", "Unit"), Field::Unit, 1, UnitCodes, 1, Kept, "2", "1", false,
     false},
    {Setting::Digi, Coded, "DIGI:", 5, "DIGI", "", "AT+DIGI,",
     QT_TRANSLATE_NOOP("MainWindow", "DIGI"), Field::Digi, 1, DigiCodes, 1, Unticked, "0", "0",
     false, false},
    {Setting::Mod, OneCharacter, "MOD:", 4, "MOD", "", "AT+MOD,",
     QT_TRANSLATE_NOOP("MainWindow", "TX vol"), Field::Mod, 1, None, 0, Ignored, nullptr, nullptr,
     false, false},
    {Setting::Path, Coded, "PATH:", 5, "PATH", "", "AT+PATH,",
     QT_TRANSLATE_NOOP("MainWindow", "Path"), Field::Path, 1, PathCodes, 1, Kept, "1", "1", false,
     false},
    {Setting::Alias, Coded, "ALIAS:", 6, "ALIAS", "", "AT+ALIAS,",
     QT_TRANSLATE_NOOP("MainWindow", "Alias"), Field::Alias, 1, AliasCodes, 1, Kept, "3", "3",
     false, false},
    {Setting::Version, Text, "VER:", 4, nullptr, "", nullptr,
     QT_TRANSLATE_NOOP("MainWindow", "Vers"), Field::Version, 1, None, 0, Ignored, nullptr, nullptr,
     false, false},
};
static_assert(std::size(Settings) == SettingCount);

constexpr FieldRow Fields[] = {
    {Field::Callsign, QT_TRANSLATE_NOOP("Settings", "Callsign"), 6, false, true},
    {Field::Ssid, QT_TRANSLATE_NOOP("Settings", "SSID"), 0, false, true},
    {Field::Pass, QT_TRANSLATE_NOOP("Settings", "Pass"), 5, true, true},
    {Field::Dhcp, QT_TRANSLATE_NOOP("Settings", "DHCP"), 0, false, false},
    {Field::Ip1, "IP 1", 0, false, true},
    {Field::Ip2, "IP 2", 0, false, true},
    {Field::Ip3, "IP 3", 0, false, true},
    {Field::Ip4, "IP 4", 0, false, true},
    {Field::Mask1, "Mask 1", 0, false, true},
    {Field::Mask2, "Mask 2", 0, false, true},
    {Field::Mask3, "Mask 3", 0, false, true},
    {Field::Mask4, "Mask 4", 0, false, true},
    {Field::Gate1, "Gate 1", 0, false, true},
    {Field::Gate2, "Gate 2", 0, false, true},
    {Field::Gate3, "Gate 3", 0, false, true},
    {Field::Gate4, "Gate 4", 0, false, true},
    {Field::Dns1, "DNS 1", 0, false, true},
    {Field::Dns2, "DNS 2", 0, false, true},
    {Field::Dns3, "DNS 3", 0, false, true},
    {Field::Dns4, "DNS 4", 0, false, true},
    {Field::Position, QT_TRANSLATE_NOOP("Settings", "Position"), 61, false, true},
    {Field::Comment, QT_TRANSLATE_NOOP("Settings", "Comment"), 40, false, true},
    {Field::Server, QT_TRANSLATE_NOOP("Settings", "Server"), 0, false, true},
    {Field::SentTime, QT_TRANSLATE_NOOP("Settings", "Tx time"), 5, true, true},
    {Field::Filter, QT_TRANSLATE_NOOP("Settings", "Filter"), 16, false, true},
    {Field::Backlight, QT_TRANSLATE_NOOP("Settings", "Backlight"), 0, false, true},
    {Field::Unit, QT_TRANSLATE_NOOP("Settings", "Unit"), 0, false, false},
    {Field::Digi, QT_TRANSLATE_NOOP("Settings", "DIGI"), 0, false, false},
    {Field::Mod, QT_TRANSLATE_NOOP("Settings", "TX vol"), 0, false, true},
    {Field::Path, QT_TRANSLATE_NOOP("Settings", "Path"), 0, false, false},
    {Field::Alias, QT_TRANSLATE_NOOP("Settings", "Alias"), 0, false, false},
    {Field::Freq, QT_TRANSLATE_NOOP("Settings", "Tx/Rx"), 8, true, true},
    {Field::WifiSsid, QT_TRANSLATE_NOOP("Settings", "ssid"), 20, false, false},
    {Field::WifiPass, QT_TRANSLATE_NOOP("Settings", "pass"), 20, false, false},
    {Field::Version, QT_TRANSLATE_NOOP("Settings", "Vers"), 0, false, false},
    {Field::Ctcss, "CTCSS", 3, false, false},
};
static_assert(std::size(Fields) == FieldCount);

// The lists the window offers; the coded ones are their codes' entries.
struct ChoiceList
{
    Field field;
    QStringList (*entries)();
};

QStringList entriesOf(std::span<const WireCode> codes)
{
    QStringList entries;
    for (const WireCode &code : codes) {
        const QString entry = QString::fromUtf16(code.entry);
        if (!entries.contains(entry))
            entries.append(entry);
    }
    return entries;
}

QStringList numbers(int first, int last)
{
    QStringList entries;
    for (int number = first; number <= last; ++number)
        entries.append(QString::number(number));
    return entries;
}

const ChoiceList ChoiceLists[] = {
    {Field::Dhcp, [] { return entriesOf(DhcpCodes); }},
    {Field::Ssid, [] { return numbers(0, 15); }},
    // Three regional APRS-IS servers (China, Japan, Europe) and one by its
    // address; the Default button takes the first.
    {Field::Server,
     [] {
         return QStringList{QStringLiteral("china.aprs2.net"), QStringLiteral("japan.aprs2.net"),
                            QStringLiteral("euro.aprs2.net"), QStringLiteral("203.86.195.182")};
     }},
    {Field::Unit, [] { return entriesOf(UnitCodes); }},
    {Field::Mod, [] { return numbers(1, 5); }},
    {Field::Path, [] { return entriesOf(PathCodes); }},
    {Field::Alias, [] { return entriesOf(AliasCodes); }},
    {Field::Backlight,
     [] {
         return QStringList{QStringLiteral("ON"), QStringLiteral("05"), QStringLiteral("10"),
                            QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("60"),
                            QStringLiteral("90")};
     }},
};

const QLatin1StringView KeptCodePrefix("code ");

QString codeFor(const SettingRow &row, const QString &entry, const char *fallback)
{
    if (row.unknownCode == UnknownCode::Kept) {
        if (QString kept = keptCode(entry); !kept.isEmpty())
            return kept;
    }
    for (const WireCode &code : row.codes) {
        if (entry == QStringView(code.entry))
            return QString::fromLatin1(code.code);
    }
    return fallback ? QString::fromLatin1(fallback) : entry;
}

} // namespace

std::span<const SettingRow> settings()
{
    return Settings;
}

const SettingRow &row(Setting setting)
{
    return Settings[static_cast<std::size_t>(setting)];
}

QList<Setting> fileSettings()
{
    QList<Setting> held;
    for (const SettingRow &row : Settings) {
        if (row.fileKeyword)
            held.append(row.setting);
    }
    return held;
}

std::optional<Setting> settingOf(Field field)
{
    const int index = static_cast<int>(field);
    for (const SettingRow &row : Settings) {
        const int first = static_cast<int>(row.firstField);
        if (index >= first && index < first + row.fieldCount)
            return row.setting;
    }
    return std::nullopt;
}

QList<Field> fields(Setting setting)
{
    const SettingRow &of = row(setting);
    QList<Field> held;
    for (int offset = 0; offset < of.fieldCount; ++offset)
        held.append(static_cast<Field>(static_cast<int>(of.firstField) + offset));
    return held;
}

const FieldRow &field(Field field)
{
    return Fields[static_cast<std::size_t>(field)];
}

QLatin1StringView fileKeyword(Setting setting)
{
    const char *keyword = row(setting).fileKeyword;
    return keyword ? QLatin1StringView(keyword) : QLatin1StringView();
}

QString caption(Setting setting)
{
    return QCoreApplication::translate("MainWindow", row(setting).caption);
}

QString fieldName(Field of)
{
    return QCoreApplication::translate("Settings", field(of).name);
}

QStringList choices(Field field)
{
    for (const ChoiceList &list : ChoiceLists) {
        if (list.field == field)
            return list.entries();
    }
    return {};
}

QString writeCode(Setting setting, const QString &entry)
{
    const SettingRow &of = row(setting);
    return codeFor(of, entry, of.writeFallback);
}

QString fileCode(Setting setting, const QString &entry)
{
    const SettingRow &of = row(setting);
    return codeFor(of, entry, of.fileFallback);
}

QString entryOf(Setting setting, QByteArrayView code)
{
    for (const WireCode &wire : row(setting).codes) {
        if (code == QByteArrayView(wire.code)) {
            // The parser maps codes back on every received byte; the entries
            // are static, so they are shared rather than copied.
            const QStringView entry(wire.entry);
            return QString::fromRawData(entry.data(), entry.size());
        }
    }
    return {};
}

QString keptCodeText(QByteArrayView code)
{
    // A "#" would end the command that writes it back, a "," split it.
    if (code.size() != 1 || code[0] <= ' ' || code[0] > '~' || code[0] == '#' || code[0] == ',')
        return {};
    return KeptCodePrefix + QLatin1Char(code[0]);
}

QString keptCode(const QString &text)
{
    if (text.size() != KeptCodePrefix.size() + 1 || !text.startsWith(KeptCodePrefix))
        return {};
    const QString code = text.right(1);
    return keptCodeText(code.toLatin1()).isEmpty() ? QString() : code;
}

QString valueText(Setting setting, const SettingsRecord &record, Destination destination)
{
    constexpr qsizetype CallsignWidth = 6;
    const SettingRow &of = row(setting);
    const QString &first = record.text(of.firstField);
    switch (of.form) {
    case ValueForm::CallsignSsid:
        return (destination == Destination::Window
                    ? first
                    : first.leftJustified(CallsignWidth, QLatin1Char(' '))) +
               QLatin1Char('-') + record.text(Field::Ssid);
    case ValueForm::Octets: {
        QString joined = first;
        for (int octet = 1; octet < of.fieldCount; ++octet)
            joined += QLatin1Char(',') + record.text(Field(int(of.firstField) + octet));
        return joined;
    }
    case ValueForm::Coded:
        switch (destination) {
        case Destination::Window:
            return first;
        case Destination::Device:
            return writeCode(setting, first);
        case Destination::File:
            return fileCode(setting, first);
        case Destination::Report: {
            // A kept code names itself, as a text that travels as it stands.
            const QString code = writeCode(setting, first);
            if (code == first || !keptCode(first).isEmpty())
                return first;
            return QStringLiteral("%1 (code %2)").arg(first, code);
        }
        }
        break;
    case ValueForm::Text:
    case ValueForm::OneCharacter:
        break;
    }
    return first;
}

} // namespace telx5::SettingsTable
