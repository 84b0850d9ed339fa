#include "settingscheck.h"

#include "lineparser.h"
#include "settingsfile.h"
#include "settingstable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace telx5 {

namespace {

using SettingsFile::MaxFileSize;

// A line quoted in a refusal; a file that lost its CRs is one long line.
constexpr qsizetype QuotedLength = 60;

QString quoted(const QByteArray &line, const TextCodec &codec)
{
    QString text = codec.decode(line);
    if (text.size() > QuotedLength)
        text = text.left(QuotedLength) + QStringLiteral("...");
    return QLatin1Char('"') + text.replace(QLatin1Char('\n'), QStringLiteral("\\n")) +
           QLatin1Char('"');
}

// "FREQ, UNIT or ALIAS"
QString either(const QStringList &names)
{
    if (names.size() == 1)
        return names.first();
    return names.first(names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           names.last();
}

} // namespace

CheckedSettings checkSettingsFile(const QString &fileName, const TextCodec &codec)
{
    CheckedSettings checked;
    const auto refuse = [&checked, &fileName](const QString &why) {
        checked.problem = QDir::toNativeSeparators(fileName) + QStringLiteral(": ") + why;
        return checked;
    };

    // A FIFO would block the open, a device would never end.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return refuse(QStringLiteral("not a regular file"));
    if (info.size() > MaxFileSize)
        return refuse(
            QStringLiteral("%1 bytes; a settings file has at most 1 MiB").arg(info.size()));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("cannot be read: ") + file.errorString());
    const QByteArray content = file.read(MaxFileSize);
    if (file.error() != QFileDevice::NoError)
        return refuse(QStringLiteral("cannot be read: ") + file.errorString());
    if (content.isEmpty())
        return refuse(QStringLiteral("the file is empty"));

    Flags flags;
    RecordView view;
    LineParser parser(view, flags, codec);
    const QList<QByteArray> lines = SettingsFile::splitLines(content);
    QList<Setting> missing = SettingsTable::fileSettings();
    for (qsizetype index = 0; index < lines.size(); ++index) {
        const QByteArray &line = lines.at(index);
        if (!parser.parseLine(line))
            return refuse(QStringLiteral("line %1 is not a valid settings line: %2")
                              .arg(index + 1)
                              .arg(quoted(line, codec)));
        missing.removeIf([&line](Setting setting) {
            const QLatin1StringView keyword = SettingsTable::fileKeyword(setting);
            return line.startsWith(QByteArrayView(keyword.data(), keyword.size())) &&
                   line.size() > keyword.size() && line.at(keyword.size()) == ':';
        });
    }
    checked.settings = view.record();
    if (missing.isEmpty())
        return checked;

    QStringList names;
    for (Setting setting : std::as_const(missing))
        names.append(SettingsTable::fileKeyword(setting));
    QString why = QStringLiteral("no %1 line; a settings file has all 19").arg(either(names));
    if (content.contains('\n') && !content.contains('\r'))
        why += QStringLiteral(", and its lines end in LF alone, so it reads as one line");
    else
        why += QStringLiteral(", and this one ends at line %1: %2")
                   .arg(lines.size())
                   .arg(quoted(lines.last(), codec));
    return refuse(why);
}

} // namespace telx5
