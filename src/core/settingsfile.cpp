#include "settingsfile.h"

#include "devicesettings.h"
#include "settingstable.h"

namespace telx5::SettingsFile {

namespace {

constexpr qsizetype SentTimeWidth = 4;

} // namespace

QString fileLine(Setting setting, const SettingsRecord &record)
{
    // The interval is padded to four digits, never cut: a longer one, which a
    // loaded file can put into the box, is written as it stands.
    const QString value =
        setting == Setting::SentTime
            ? record.text(Field::SentTime).rightJustified(SentTimeWidth, QLatin1Char('0'))
            : SettingsTable::valueText(setting, record, SettingsTable::Destination::File);
    return SettingsTable::fileKeyword(setting) + QLatin1Char(':') + value +
           QLatin1StringView(SettingsTable::row(setting).fileSuffix);
}

QList<Setting> differences(const SettingsRecord &written, const SettingsRecord &readBack,
                           bool everyAddress)
{
    const bool addressesWritten =
        everyAddress || WireCodes::isStaticAddressing(written.text(Field::Dhcp));
    QList<Setting> differing;
    for (Setting setting : SettingsTable::fileSettings()) {
        if (SettingsTable::row(setting).staticOnly && !addressesWritten)
            continue;
        if (fileLine(setting, written) != fileLine(setting, readBack))
            differing.append(setting);
    }
    return differing;
}

QByteArray save(const SettingsRecord &record, const TextCodec &codec)
{
    QString text = QStringLiteral("[TELX5]\r\n\r\n");
    for (Setting setting : SettingsTable::fileSettings())
        text += fileLine(setting, record) + QStringLiteral("\r\n");
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
