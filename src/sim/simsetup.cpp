#include "simdevice_p.h"

#include <algorithm>
#include <utility>

namespace telx5 {

namespace {

// A line longer than this is no command; the device forgets it.
constexpr qsizetype MaxLine = 4096;

// The device keeps its choice settings as one-character codes; the record
// holds them as the entries the tool's lists show. The mapping is written out
// here, as the device sees it, so that a wrong code in the tool's own tables
// shows up as a setting that did not take.
struct Coded
{
    char code;
    const char16_t *entry;
};

constexpr Coded Units[] = {{'1', u"km"}, {'2', u"mi"}, {'3', u"公里"}};
constexpr Coded Paths[] = {
    {'0', u"None"}, {'1', u"WIDE1-1"}, {'2', u"WIDE1-1WIDE2-1"}, {'3', u"WIDE1-1WIDE2-2"}};
constexpr Coded Aliases[] = {{'1', u"WIDE1"}, {'2', u"WIDE2"}, {'3', u"WIDE1+WIDE2"}};

const QString StaticIp = QStringLiteral("STATIC IP");
const QString BacklightOn = QStringLiteral("ON");

// The entry of a code the device received; empty for a code it does not know.
template <std::size_t N> QString entryOf(const Coded (&table)[N], const QString &value)
{
    for (const Coded &coded : table) {
        if (value.startsWith(QLatin1Char(coded.code)))
            return QString::fromUtf16(coded.entry);
    }
    return {};
}

// What the device keeps of a written code: the entry it stands for, or a code
// it does not know, as it stands (its first character).
template <std::size_t N> QString codedValue(const Coded (&table)[N], const QString &value)
{
    const QString entry = entryOf(table, value);
    return entry.isEmpty() ? value.left(1) : entry;
}

// The code the device reports for an entry. The record can be given a text
// that is no entry; the device then reports that text as it stands.
template <std::size_t N> QByteArray codeOf(const Coded (&table)[N], const QString &entry)
{
    for (const Coded &coded : table) {
        if (entry == QStringView(coded.entry))
            return QByteArray(1, coded.code);
    }
    return entry.toLatin1();
}

} // namespace

SettingsRecord SimDevice::Private::factorySettings()
{
    SettingsRecord s;
    s.setText(Field::Callsign, QStringLiteral("N0CALL"));
    s.setText(Field::Ssid, QStringLiteral("9"));
    s.setText(Field::Pass, QStringLiteral("13023"));
    s.setText(Field::Dhcp, QStringLiteral("DHCP"));
    const QStringList octets[] = {
        {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("1"), QStringLiteral("99")},
        {QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("0")},
        {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("1"), QStringLiteral("1")},
        {QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("8")},
    };
    for (int a = 0; a < 4; ++a) {
        for (int i = 0; i < 4; ++i)
            s.setText(octetField(AllAddresses[a], i), octets[a].at(i));
    }
    s.setText(Field::Position, QStringLiteral("!3114.40N/12128.00E&"));
    s.setText(Field::Comment, QStringLiteral("TELX5 iGate"));
    s.setText(Field::Server, QStringLiteral("china.aprs2.net"));
    s.setText(Field::SentTime, QStringLiteral("0600"));
    s.setText(Field::Filter, QStringLiteral("m/50"));
    s.setText(Field::Version, QStringLiteral("KT360 V1.2"));
    s.setText(Field::Freq, QStringLiteral("144.6400"));
    s.setText(Field::Backlight, QStringLiteral("30"));
    s.setText(Field::Unit, QStringLiteral("km"));
    s.setText(Field::Digi, QStringLiteral("1"));
    s.setText(Field::Mod, QStringLiteral("3"));
    s.setText(Field::Path, QStringLiteral("WIDE1-1"));
    s.setText(Field::Alias, QStringLiteral("WIDE1+WIDE2"));
    return s;
}

void SimDevice::Private::handleSetup(char byte)
{
    if (byte == '\r' || byte == '\n') {
        if (!line.isEmpty() && !lineTooLong)
            handleLine(line);
        line.clear();
        lineTooLong = false;
        return;
    }
    if (line.size() < MaxLine)
        line.append(byte);
    else
        lineTooLong = true;
}

void SimDevice::Private::handleLine(const QByteArray &raw)
{
    Q_EMIT q->lineReceived(raw);
    if (silent)
        return;
    const QString text = codec.decode(raw);
    for (const QString &prefix : std::as_const(ignored)) {
        if (text.startsWith(prefix))
            return;
    }
    if (raw == "SETUP#") {
        ++setupLines;
        if (connectAfter != Never && setupLines >= connectAfter)
            answer({QByteArrayLiteral("CONNECT")});
    } else if (raw == "AT+READ#") {
        answer(readAnswer());
    } else if (raw == "AT+RESET#") {
        // The settings memory is cleared before the device says so.
        settings = factorySettings();
        answer({QByteArrayLiteral("eeram reset")});
    } else if (raw == "REBOOT#") {
        setMode(Mode::BootLoader);
    } else if (raw.startsWith("AT+")) {
        store(raw);
    }
}

void SimDevice::Private::store(const QByteArray &raw)
{
    const qsizetype comma = raw.indexOf(',');
    if (comma < 0)
        return;
    const QByteArray keyword = raw.left(comma);
    QByteArray valueBytes = raw.mid(comma + 1);
    // The command's terminator; a "#" inside the value stays part of it.
    if (valueBytes.endsWith('#'))
        valueBytes.chop(1);
    const QString value = codec.decode(valueBytes);

    auto setAddress = [this, &value](Address address) {
        const QStringList parts = value.split(QLatin1Char(','));
        for (int i = 0; i < 4; ++i) {
            const QString octet = i < 3 ? parts.value(i) : parts.mid(3).join(QLatin1Char(','));
            settings.setText(octetField(address, i), octet);
        }
    };

    if (keyword == "AT+CALL") {
        const qsizetype dash = value.indexOf(QLatin1Char('-'));
        if (dash < 0)
            return;
        QString call = value.left(dash);
        while (call.endsWith(QLatin1Char(' ')))
            call.chop(1);
        settings.setText(Field::Callsign, call);
        settings.setText(Field::Ssid, value.mid(dash + 1));
    } else if (keyword == "AT+PASS") {
        settings.setText(Field::Pass, value);
    } else if (keyword == "AT+DHCP") {
        settings.setText(Field::Dhcp,
                         value == QLatin1String("0") ? StaticIp : QStringLiteral("DHCP"));
    } else if (keyword == "AT+IP") {
        setAddress(Address::Ip);
    } else if (keyword == "AT+SUB") {
        setAddress(Address::Mask);
    } else if (keyword == "AT+GW") {
        setAddress(Address::Gate);
    } else if (keyword == "AT+DNS") {
        setAddress(Address::Dns);
    } else if (keyword == "AT+POSI") {
        settings.setText(Field::Position, value);
    } else if (keyword == "AT+COMMENT") {
        settings.setText(Field::Comment, value);
    } else if (keyword == "AT+SERVER") {
        settings.setText(Field::Server, value);
    } else if (keyword == "AT+TIME") {
        settings.setText(Field::SentTime, value);
    } else if (keyword == "AT+FILTER") {
        settings.setText(Field::Filter, value);
    } else if (keyword == "AT+BACKLIGHT") {
        const bool on = value == QLatin1String("00") || value == QLatin1String("0");
        settings.setText(Field::Backlight, on ? BacklightOn : value);
    } else if (keyword == "AT+UNIT") {
        settings.setText(Field::Unit, codedValue(Units, value));
    } else if (keyword == "AT+DIGI") {
        settings.setText(Field::Digi,
                         value == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (keyword == "AT+MOD") {
        settings.setText(Field::Mod, value);
    } else if (keyword == "AT+PATH") {
        settings.setText(Field::Path, codedValue(Paths, value));
    } else if (keyword == "AT+ALIAS") {
        settings.setText(Field::Alias, codedValue(Aliases, value));
    } else if (keyword == "AT+FREQ") {
        settings.setText(Field::Freq, value);
        answer({QByteArrayLiteral("freq save")});
    } else if (keyword == "AT+WIFI") {
        const qsizetype split = value.indexOf(QLatin1Char(','));
        settings.setText(Field::WifiSsid, split < 0 ? value : value.left(split));
        settings.setText(Field::WifiPass, split < 0 ? QString() : value.mid(split + 1));
        answer({QByteArrayLiteral("WIFI Write success")});
    }
}

QList<QByteArray> SimDevice::Private::readAnswer() const
{
    auto t = [this](Field field) { return codec.encode(settings.text(field)); };
    auto address = [this](const char *keyword, Address a) {
        QByteArray line(keyword);
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                line += ',';
            line += codec.encode(settings.text(octetField(a, i)));
        }
        return line;
    };
    const bool isStatic = settings.text(Field::Dhcp) == StaticIp;
    const bool backlightOn = settings.text(Field::Backlight) == BacklightOn;
    QList<QByteArray> lines = {
        "CALLSIGN:" + t(Field::Callsign) + '-' + t(Field::Ssid),
        "PASS:" + t(Field::Pass),
        isStatic ? QByteArrayLiteral("DHCP:0") : QByteArrayLiteral("DHCP:1"),
        address("IP:", Address::Ip),
        address("MASK:", Address::Mask),
        address("GATE:", Address::Gate),
        address("DNS:", Address::Dns),
        "POSITION:" + t(Field::Position),
        "COMMENT TEXT:" + t(Field::Comment),
        "SERVER:" + t(Field::Server),
        "SENT TIME:" + t(Field::SentTime),
        "FILTER:" + t(Field::Filter),
        "VER:" + t(Field::Version),
        "FREQ:" + t(Field::Freq),
        "BACKLIGHT:" + (backlightOn ? QByteArrayLiteral("00") : t(Field::Backlight)),
        "UNIT:" + codeOf(Units, settings.text(Field::Unit)),
        settings.text(Field::Digi) == QLatin1String("1") ? QByteArrayLiteral("DIGI:1")
                                                         : QByteArrayLiteral("DIGI:0"),
        "MOD:" + t(Field::Mod),
        "PATH:" + codeOf(Paths, settings.text(Field::Path)),
        "ALIAS:" + codeOf(Aliases, settings.text(Field::Alias)),
    };
    // A firmware that reports only some of its settings.
    if (!reported.isEmpty()) {
        lines.removeIf([this](const QByteArray &line) {
            return std::none_of(reported.cbegin(), reported.cend(), [&line](const QString &prefix) {
                return line.startsWith(prefix.toLatin1());
            });
        });
    }
    if (endsReport)
        lines.append(QByteArrayLiteral("READ END"));
    return lines;
}

void SimDevice::Private::answer(const QList<QByteArray> &lines)
{
    if (endlessStream)
        return;
    for (int round = answerTwice ? 2 : 1; round > 0; --round) {
        bool first = true;
        for (const QByteArray &l : lines) {
            const int wait = first ? answerDelayMs : lineGapMs;
            QByteArray bytes = (first ? garbage : QByteArray()) + lineNoise + l;
            bytes += "\r\n";
            enqueue(bytes, wait);
            first = false;
        }
    }
}

} // namespace telx5
