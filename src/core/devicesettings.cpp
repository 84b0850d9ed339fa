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

QString fieldName(Field field, bool chinese)
{
    struct Name
    {
        Field field;
        const char16_t *english;
        const char16_t *chinese;
    };
    static constexpr Name Names[] = {
        {Field::Callsign, u"Callsign", u"呼号"},
        {Field::Ssid, u"SSID", u"SSID"},
        {Field::Pass, u"Pass", u"密码"},
        {Field::Position, u"Position", u"坐标"},
        {Field::Comment, u"Comment", u"信息"},
        {Field::Server, u"Server", u"服务器"},
        {Field::SentTime, u"Tx time", u"发送间隔"},
        {Field::Filter, u"Filter", u"信息过滤"},
        {Field::Backlight, u"Backlight", u"背光时间"},
        {Field::Mod, u"TX vol", u"调制度"},
        {Field::Freq, u"Tx/Rx", u"频率"},
    };
    for (const Name &name : Names) {
        if (name.field == field)
            return QString::fromUtf16(chinese ? name.chinese : name.english);
    }
    // The octet boxes: the address and the box's place in it.
    const int index = static_cast<int>(field) - static_cast<int>(Field::Ip1);
    static constexpr const char *Addresses[] = {"IP", "Mask", "Gate", "DNS"};
    return QStringLiteral("%1 %2").arg(QLatin1String(Addresses[index / 4])).arg(index % 4 + 1);
}

QList<std::pair<Field, qsizetype>> lossyFields(const DeviceView &view, const TextCodec &codec)
{
    QList<Field> fields{Field::Callsign, Field::Ssid, Field::Pass};
    for (Address address : AllAddresses)
        for (int index = 0; index < 4; ++index)
            fields.append(octetField(address, index));
    fields << Field::Position << Field::Comment << Field::Server << Field::SentTime << Field::Filter
           << Field::Backlight << Field::Mod << Field::Freq;

    QList<std::pair<Field, qsizetype>> lossy;
    for (Field field : std::as_const(fields)) {
        qsizetype lost = 0;
        codec.encode(view.text(field), &lost);
        if (lost > 0)
            lossy.append({field, lost});
    }
    return lossy;
}

QString lossLine(Field field, qsizetype lost, bool chinese)
{
    if (chinese)
        return QStringLiteral("%1：%2个字符在当前语言设置下无法发送，将变为“?”")
            .arg(fieldName(field, true))
            .arg(lost);
    return (lost == 1 ? QStringLiteral("%1: %2 character cannot be sent in this language setting "
                                       "and becomes '?'")
                      : QStringLiteral("%1: %2 characters cannot be sent in this language "
                                       "setting and become '?'"))
        .arg(fieldName(field, false))
        .arg(lost);
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
