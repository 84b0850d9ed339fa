#include "lineparser.h"

#include "devicesettings.h"

namespace telx5 {

LineParser::LineParser(DeviceView &view, Flags &flags, const TextCodec &codec)
    : m_view(&view), m_flags(flags), m_codec(codec)
{}

bool LineParser::reportsInStatus(QByteArrayView line)
{
    return line.startsWith("CONNECT") || line.startsWith("READ END");
}

bool LineParser::parseLine(QByteArrayView line)
{
    m_setField = false;
    if (line.startsWith("eeram reset"))
        m_flags.eeramReset = true;
    if (line.startsWith("CONNECT")) {
        m_flags.connectOk = true;
        m_view->appendStatusLine(QStringLiteral("Connect OK"));
    }
    if (line.startsWith("READ END")) {
        m_flags.readEnd = true;
        m_view->appendStatusLine(QStringLiteral("Read end"));
    }
    if (line.startsWith("WIFI Write success"))
        m_flags.wifiWriteOk = true;
    if (line.startsWith("freq save"))
        m_flags.freqSaved = true;

    for (const SettingRow &row : SettingsTable::settings()) {
        if (!line.startsWith(row.answerPrefix))
            continue;
        if (!parseSetting(row, line))
            return false;
        m_view->record().markArrived(row.setting);
        break;
    }
    return true;
}

bool LineParser::parseSetting(const SettingRow &row, QByteArrayView line)
{
    // Values are cut by 0-based byte index and decoded only once cut, so a
    // character that is still arriving byte by byte is decoded whole in the
    // end. Keywords are ASCII, hence their bytes are their characters.
    const auto from = [this, line](qsizetype at) {
        return at < line.size() ? m_codec.decode(line.sliced(at)) : QString();
    };
    const auto set = [this](Field field, const QString &value) {
        m_view->setText(field, value);
        m_setField = true;
    };
    const Field field = row.firstField;

    switch (row.form) {
    case ValueForm::Text:
        set(field, from(row.valueAt));
        return true;
    case ValueForm::CallsignSsid: {
        // The callsign ends at the first '-' after the keyword; everything
        // behind that '-' is the SSID.
        const qsizetype dash = line.indexOf('-', row.valueAt);
        if (dash < 0)
            return false;
        set(Field::Callsign, m_codec.decode(line.sliced(row.valueAt, dash - row.valueAt)));
        set(Field::Ssid, from(dash + 1));
        return true;
    }
    case ValueForm::Octets: {
        // Each octet box is set as soon as the comma behind it has arrived.
        qsizetype start = row.valueAt;
        for (int octet = 0; octet < 3; ++octet) {
            const qsizetype comma = line.indexOf(',', start);
            if (comma < 0)
                return false;
            set(Field(int(field) + octet), m_codec.decode(line.sliced(start, comma - start)));
            start = comma + 1;
        }
        set(Field(int(field) + 3), from(start));
        return true;
    }
    case ValueForm::Coded: {
        const QByteArrayView code =
            row.codeLength == 0
                ? line.sliced(row.valueAt)
                : line.sliced(row.valueAt, qMin(row.codeLength, line.size() - row.valueAt));
        QString entry = SettingsTable::entryOf(row.setting, code);
        if (entry.isEmpty() && row.unknownCode == UnknownCode::Kept)
            entry = SettingsTable::keptCodeText(code);
        if (!entry.isEmpty()) {
            set(field, entry);
            // Under DHCP (or a mode the tool does not know, whose addresses a
            // write leaves alone) the device keeps its addresses to itself.
            if (row.setting == Setting::Dhcp && !WireCodes::isStaticAddressing(entry))
                m_view->setOctetBoxesEnabled(false);
        } else if (row.unknownCode == UnknownCode::TakenAsText) {
            set(field, from(row.valueAt));
        } else if (row.unknownCode == UnknownCode::Unticked) {
            set(field, QStringLiteral("0"));
        }
        return true;
    }
    case ValueForm::OneCharacter: {
        // One character, also when the bytes after the colon are no valid
        // character of the code page and decode to several.
        const QString character =
            m_codec.decode(line.sliced(row.valueAt, m_codec.characterSize(line, row.valueAt)));
        set(field,
            character.left(character.size() > 1 && character.at(0).isHighSurrogate() ? 2 : 1));
        return true;
    }
    }
    return true;
}

} // namespace telx5
