#include "lineparser.h"

#include "devicesettings.h"

namespace telx5 {

namespace {

// The byte at 0-based index `at`, or 0 when the line is shorter.
char byteAt(QByteArrayView line, qsizetype at)
{
    return at < line.size() ? line[at] : '\0';
}

} // namespace

LineParser::LineParser(DeviceView &view, Flags &flags, const TextCodec &codec)
    : m_view(view), m_flags(flags), m_codec(codec)
{}

bool LineParser::reportsInStatus(QByteArrayView line)
{
    return line.startsWith("CONNECT") || line.startsWith("READ END");
}

bool LineParser::parseLine(QByteArrayView line)
{
    // Values are cut by 0-based byte index and decoded only once cut, so a
    // character that is still arriving byte by byte is decoded whole in the
    // end. Keywords are ASCII, hence their bytes are their characters.
    const auto from = [this, line](qsizetype at) {
        return at < line.size() ? m_codec.decode(line.sliced(at)) : QString();
    };
    m_setField = false;
    const auto set = [this](Field field, const QString &value) {
        m_view.setText(field, value);
        m_setField = true;
    };
    const auto setFrom = [&set, &from](Field field, qsizetype at) { set(field, from(at)); };

    if (line.startsWith("eeram reset"))
        m_flags.eeramReset = true;
    if (line.startsWith("CONNECT")) {
        m_flags.connectOk = true;
        m_view.appendStatusLine(QStringLiteral("Connect OK"));
    }
    if (line.startsWith("READ END")) {
        m_flags.readEnd = true;
        m_view.appendStatusLine(QStringLiteral("Read end"));
    }
    if (line.startsWith("CALLSIGN")) {
        // The callsign starts after "CALLSIGN:" and ends at the first '-'
        // after it; everything behind that '-' is the SSID.
        constexpr qsizetype start = 9;
        const qsizetype dash = line.indexOf('-', start);
        if (dash < 0)
            return false;
        set(Field::Callsign, m_codec.decode(line.sliced(start, dash - start)));
        setFrom(Field::Ssid, dash + 1);
    }
    if (line.startsWith("PASS:"))
        setFrom(Field::Pass, 5);
    if (line.startsWith("POSITION"))
        setFrom(Field::Position, 9);
    if (line.startsWith("DHCP:1")) {
        set(Field::Dhcp, QStringLiteral("DHCP"));
        m_view.setOctetBoxesEnabled(false);
    }
    if (line.startsWith("DHCP:0"))
        set(Field::Dhcp, DeviceSettings::StaticIp);
    if (line.startsWith("COMMENT"))
        setFrom(Field::Comment, 13);
    if (line.startsWith("SERVER"))
        setFrom(Field::Server, 7);
    if (line.startsWith("SENT TIME"))
        setFrom(Field::SentTime, 10);
    if (line.startsWith("FILTER"))
        setFrom(Field::Filter, 7);
    if (line.startsWith("VER:"))
        setFrom(Field::Version, 4);

    struct AddressForm
    {
        const char *keyword;
        Address address;
    };
    static constexpr AddressForm AddressForms[] = {{"IP:", Address::Ip},
                                                   {"MASK:", Address::Mask},
                                                   {"GATE:", Address::Gate},
                                                   {"DNS:", Address::Dns}};
    for (const AddressForm &form : AddressForms) {
        const QByteArrayView keyword(form.keyword);
        if (!line.startsWith(keyword))
            continue;
        // Each octet box is set as soon as the comma behind it has arrived.
        qsizetype start = keyword.size();
        for (int octet = 0; octet < 3; ++octet) {
            const qsizetype comma = line.indexOf(',', start);
            if (comma < 0)
                return false;
            set(octetField(form.address, octet), m_codec.decode(line.sliced(start, comma - start)));
            start = comma + 1;
        }
        setFrom(octetField(form.address, 3), start);
    }

    if (line.startsWith("FREQ:"))
        setFrom(Field::Freq, 5);
    if (line.startsWith("BACKLIGHT:")) {
        const QByteArrayView value = line.sliced(10);
        if (value == "0" || value == "00")
            set(Field::Backlight, QStringLiteral("ON"));
        else
            setFrom(Field::Backlight, 10);
    }
    if (line.startsWith("UNIT:")) {
        const QString unit = WireCodes::unitFromCode(byteAt(line, 5));
        if (!unit.isEmpty())
            set(Field::Unit, unit);
    }
    if (line.startsWith("DIGI:"))
        set(Field::Digi, byteAt(line, 5) == '1' ? QStringLiteral("1") : QStringLiteral("0"));
    if (line.startsWith("MOD:")) {
        // One character, also when the bytes after the colon are no valid
        // character of the code page and decode to several.
        const QString mod = m_codec.decode(line.sliced(4, m_codec.characterSize(line, 4)));
        set(Field::Mod, mod.left(mod.size() > 1 && mod.at(0).isHighSurrogate() ? 2 : 1));
    }
    if (line.startsWith("PATH:")) {
        const QString path = WireCodes::pathFromCode(byteAt(line, 5));
        if (!path.isEmpty())
            set(Field::Path, path);
    }
    if (line.startsWith("ALIAS:")) {
        const QString alias = WireCodes::aliasFromCode(byteAt(line, 6));
        if (!alias.isEmpty())
            set(Field::Alias, alias);
    }
    if (line.startsWith("WIFI Write success"))
        m_flags.wifiWriteOk = true;
    if (line.startsWith("freq save"))
        m_flags.freqSaved = true;
    return true;
}

} // namespace telx5
