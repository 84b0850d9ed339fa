#include "devicesettings.h"

namespace telx5::DeviceSettings {

QStringList dhcpChoices()
{
    return {QStringLiteral("DHCP"), StaticIp};
}

QStringList ssidChoices()
{
    QStringList choices;
    for (int ssid = 0; ssid <= 15; ++ssid)
        choices.append(QString::number(ssid));
    return choices;
}

QStringList serverChoices()
{
    return {QStringLiteral("china.aprs2.net"), QStringLiteral("japan.aprs2.net"),
            QStringLiteral("euro.aprs2.net"), QStringLiteral("203.86.195.182")};
}

QStringList unitChoices()
{
    return {QStringLiteral("km"), QStringLiteral("mi"), QStringLiteral("公里")};
}

QStringList modChoices()
{
    return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("5")};
}

QStringList pathChoices()
{
    return {QStringLiteral("None"), QStringLiteral("WIDE1-1"), QStringLiteral("WIDE1-1WIDE2-1"),
            QStringLiteral("WIDE1-1WIDE2-2")};
}

QStringList aliasChoices()
{
    return {QStringLiteral("WIDE1"), QStringLiteral("WIDE2"), QStringLiteral("WIDE1+WIDE2")};
}

QStringList backlightChoices()
{
    return {QStringLiteral("ON"), QStringLiteral("05"), QStringLiteral("10"), QStringLiteral("20"),
            QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("90")};
}

void applyDefaults(DeviceView &view)
{
    const auto setAddress = [&view](Address address, const char *a, const char *b, const char *c,
                                    const char *d) {
        view.setText(octetField(address, 0), QString::fromLatin1(a));
        view.setText(octetField(address, 1), QString::fromLatin1(b));
        view.setText(octetField(address, 2), QString::fromLatin1(c));
        view.setText(octetField(address, 3), QString::fromLatin1(d));
    };

    view.setText(Field::Callsign, QStringLiteral("NOCALL"));
    view.setText(Field::Ssid, QStringLiteral("10"));
    view.setText(Field::Pass, QStringLiteral("40417"));
    view.setText(Field::Dhcp, QStringLiteral("DHCP"));
    setAddress(Address::Ip, "192", "168", "1", "99");
    setAddress(Address::Mask, "255", "255", "255", "0");
    setAddress(Address::Gate, "192", "168", "1", "1");
    setAddress(Address::Dns, "8", "8", "8", "8");
    view.setText(Field::Position, QStringLiteral("!3035.00N/11417.00ErPHG1010"));
    view.setText(Field::Comment, QStringLiteral("TELX5 144.640MHz"));
    view.setText(Field::Server, serverChoices().constFirst());
    view.setText(Field::SentTime, QStringLiteral("0600"));
    view.setText(Field::Filter, QStringLiteral("b/TELX5"));
    view.setText(Field::Backlight, QStringLiteral("ON"));
    view.setText(Field::Unit, QStringLiteral("km"));
    view.setText(Field::Digi, QStringLiteral("0"));
    view.setText(Field::Mod, QStringLiteral("3"));
    view.setText(Field::Path, QStringLiteral("WIDE1-1"));
    view.setText(Field::Alias, QStringLiteral("WIDE1+WIDE2"));
    view.setText(Field::Freq, QStringLiteral("144.6400"));
    view.setText(Field::Ctcss, QStringLiteral("--"));
}

} // namespace telx5::DeviceSettings

namespace telx5::WireCodes {

namespace {

// The first entry of each pair is the list entry, the second its code.
struct CodeEntry
{
    const char16_t *entry;
    char code;
};

constexpr CodeEntry UnitCodes[] = {{u"km", '1'}, {u"mi", '2'}, {u"公里", '3'}};
constexpr CodeEntry PathCodes[] = {
    {u"None", '0'}, {u"WIDE1-1", '1'}, {u"WIDE1-1WIDE2-1", '2'}, {u"WIDE1-1WIDE2-2", '3'}};
constexpr CodeEntry AliasCodes[] = {{u"WIDE1", '1'}, {u"WIDE2", '2'}, {u"WIDE1+WIDE2", '3'}};

template <std::size_t N>
QString codeOf(const CodeEntry (&table)[N], const QString &text, char fallback)
{
    for (const CodeEntry &entry : table) {
        if (text == QStringView(entry.entry))
            return QString(QLatin1Char(entry.code));
    }
    return QString(QLatin1Char(fallback));
}

template <std::size_t N> QString entryOf(const CodeEntry (&table)[N], char code)
{
    for (const CodeEntry &entry : table) {
        // The parser maps codes back on every received byte; the entries
        // are static, so they are shared rather than copied.
        if (entry.code == code) {
            const QStringView view(entry.entry);
            return QString::fromRawData(view.data(), view.size());
        }
    }
    return {};
}

} // namespace

QString backlightCode(const QString &text)
{
    return text == QStringLiteral("ON") ? QStringLiteral("00") : text;
}

QString unitCode(const QString &text)
{
    return codeOf(UnitCodes, text, '2');
}

QString fileUnitCode(const QString &text)
{
    return codeOf(UnitCodes, text, '1');
}

QString digiCode(const QString &text)
{
    return text == QStringLiteral("1") ? QStringLiteral("1") : QStringLiteral("0");
}

QString pathCode(const QString &text)
{
    return codeOf(PathCodes, text, '1');
}

QString aliasCode(const QString &text)
{
    return codeOf(AliasCodes, text, '3');
}

bool isStaticAddressing(const QString &dhcpText)
{
    return dhcpText == DeviceSettings::StaticIp;
}

QString unitFromCode(char code)
{
    return entryOf(UnitCodes, code);
}

QString pathFromCode(char code)
{
    return entryOf(PathCodes, code);
}

QString aliasFromCode(char code)
{
    return entryOf(AliasCodes, code);
}

} // namespace telx5::WireCodes
