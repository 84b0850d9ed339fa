#include "settingsfile.h"

#include "devicesettings.h"

namespace telx5::SettingsFile {

namespace {

constexpr qsizetype CallsignWidth = 6;
constexpr qsizetype SentTimeWidth = 4;

} // namespace

QByteArray save(const DeviceView &view, const TextCodec &codec)
{
    const auto value = [&view](Field field) { return view.text(field); };
    const auto octets = [&view](Address address) -> QString {
        return view.text(octetField(address, 0)) + QLatin1Char(',') +
               view.text(octetField(address, 1)) + QLatin1Char(',') +
               view.text(octetField(address, 2)) + QLatin1Char(',') +
               view.text(octetField(address, 3));
    };

    // Padding only ever widens: a longer callsign or interval, which a loaded
    // file can put into the boxes, is written as it stands rather than cut.
    const QString callsign = value(Field::Callsign).leftJustified(CallsignWidth, QLatin1Char(' '));
    const QString sentTime = value(Field::SentTime).rightJustified(SentTimeWidth, QLatin1Char('0'));

    const QStringList lines{
        QStringLiteral("[TELX5]"),
        QString(),
        QStringLiteral("CALLSIGN:") + callsign + QLatin1Char('-') + value(Field::Ssid),
        QStringLiteral("PASS:") + value(Field::Pass),
        WireCodes::isStaticAddressing(value(Field::Dhcp)) ? QStringLiteral("DHCP:0#")
                                                          : QStringLiteral("DHCP:1#"),
        QStringLiteral("IP:") + octets(Address::Ip),
        QStringLiteral("MASK:") + octets(Address::Mask),
        QStringLiteral("GATE:") + octets(Address::Gate),
        QStringLiteral("DNS:") + octets(Address::Dns),
        QStringLiteral("POSITION:") + value(Field::Position),
        QStringLiteral("COMMENT TEXT:") + value(Field::Comment),
        QStringLiteral("SERVER:") + value(Field::Server),
        QStringLiteral("SENT TIME:") + sentTime,
        QStringLiteral("FILTER:") + value(Field::Filter),
        QStringLiteral("BACKLIGHT:") + WireCodes::backlightCode(value(Field::Backlight)),
        QStringLiteral("FREQ:") + value(Field::Freq),
        QStringLiteral("UNIT:") + WireCodes::fileUnitCode(value(Field::Unit)),
        QStringLiteral("DIGI:") + WireCodes::digiCode(value(Field::Digi)),
        QStringLiteral("MOD:") + value(Field::Mod),
        QStringLiteral("PATH:") + WireCodes::pathCode(value(Field::Path)),
        QStringLiteral("ALIAS:") + WireCodes::aliasCode(value(Field::Alias)),
    };

    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return codec.encode(text);
}

QList<QByteArray> splitLines(QByteArrayView content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        const qsizetype cr = content.indexOf('\r', start);
        if (cr < 0) {
            lines.append(content.sliced(start).toByteArray());
            break;
        }
        lines.append(content.sliced(start, cr - start).toByteArray());
        start = cr + 1;
        if (start < content.size() && content[start] == '\n')
            ++start;
    }
    return lines;
}

LoadResult load(QByteArrayView content, LineBuffer &lineBuffer, LineParser &parser,
                DeviceView &view, const TextCodec &codec)
{
    // A loaded line is complete: left in the buffer, it would be continued by
    // the next bytes from the device, so a "freq save" after a load would
    // read "ALIAS:3freq save" and the write that follows would never see it.
    // The lines go to the status box together: a box that lays out each
    // line on its own takes seconds for a big file. Only a line the parser
    // reports on in the box itself must be there before the report.
    QString shown;
    const auto show = [&view, &shown] {
        view.appendStatus(shown);
        shown.clear();
    };
    LoadResult result;
    qsizetype number = 0;
    for (const QByteArray &line : splitLines(content)) {
        ++number;
        lineBuffer.setLine(line);
        shown += codec.decode(line) + QStringLiteral("\r\n");
        if (LineParser::reportsInStatus(line))
            show();
        if (!parser.parseLine(lineBuffer.line())) {
            result.stoppedAt = number;
            break;
        }
        result.foundSettings = result.foundSettings || parser.lastLineSetField();
    }
    if (!shown.isEmpty())
        show();
    lineBuffer.clear();
    return result;
}

} // namespace telx5::SettingsFile
