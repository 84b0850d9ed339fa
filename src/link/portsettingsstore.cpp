#include "portsettingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace telx5::PortSettingsStore {

namespace {

const QString FileName = QStringLiteral("XRVComm.ini");
const QString Section = QStringLiteral("XRVComm");
// The platform's profile reader copies at most 254 characters of a value.
constexpr qsizetype MaxValueLength = 254;

QString trimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (first < last && blank(text.at(first)))
        ++first;
    while (last > first && blank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first).toString();
}

// "[name]" (blanks around it allowed): the section's name, else a null text.
QString sectionName(const QString &line)
{
    const QString trimmed = trimBlanks(line);
    if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('[')) &&
        trimmed.endsWith(QLatin1Char(']')))
        return trimBlanks(QStringView(trimmed).mid(1, trimmed.size() - 2));
    return {};
}

// "key=value": the key, else a null text.
QString keyName(const QString &line)
{
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return {};
    return trimBlanks(QStringView(line).left(equals));
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

struct IniText
{
    QStringList lines;
    QString lineEnd;
};

IniText readLines(const QString &fileName)
{
    IniText ini;
#ifdef Q_OS_WIN
    ini.lineEnd = QStringLiteral("\r\n");
#else
    ini.lineEnd = QStringLiteral("\n");
#endif
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return ini;
    const QString text = QString::fromUtf8(file.readAll());
    // An existing file keeps the line ends it has.
    if (text.contains(QLatin1String("\r\n")))
        ini.lineEnd = QStringLiteral("\r\n");
    else if (text.contains(QLatin1Char('\n')))
        ini.lineEnd = QStringLiteral("\n");
    ini.lines = text.split(QLatin1Char('\n'));
    for (QString &line : ini.lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (!ini.lines.isEmpty() && ini.lines.constLast().isEmpty())
        ini.lines.removeLast();
    return ini;
}

} // namespace

QString defaultIniPath()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    if (!programDir.isEmpty() && QFileInfo(programDir).isWritable())
        return QDir(programDir).filePath(FileName);
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(FileName);
}

void storePortSettings(const QString &fileName, const QString &port, const QString &baudRate,
                       const QString &stopBits, const QString &parity, const QString &dataBits,
                       const QString &flowControl, const QString &inBuffer,
                       const QString &outBuffer)
{
    writeValue(Section, QStringLiteral("par5"), port, fileName);
    writeValue(Section, QStringLiteral("par4"), baudRate, fileName);
    writeValue(Section, QStringLiteral("par1"), stopBits, fileName);
    writeValue(Section, QStringLiteral("par3"), parity, fileName);
    writeValue(Section, QStringLiteral("par2"), dataBits, fileName);
    writeValue(Section, QStringLiteral("par0"), flowControl, fileName);
    writeValue(Section, QStringLiteral("InBuff"), inBuffer, fileName);
    writeValue(Section, QStringLiteral("OutBuff"), outBuffer, fileName);
}

QString readValue(const QString &section, const QString &key, const QString &fileName)
{
    const IniText ini = readLines(fileName);
    bool inSection = false;
    for (const QString &line : ini.lines) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = sameName(name, section);
            continue;
        }
        if (!inSection)
            continue;
        const QString lineKey = keyName(line);
        if (!lineKey.isNull() && sameName(lineKey, key)) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            return trimBlanks(QStringView(line).mid(equals + 1)).left(MaxValueLength);
        }
    }
    return {};
}

void writeValue(const QString &section, const QString &key, const QString &value,
                const QString &fileName)
{
    IniText ini = readLines(fileName);
    const QString entry = key + QLatin1Char('=') + value;

    qsizetype sectionLine = -1;
    qsizetype lastEntry = -1; // the section's last non-blank line
    for (qsizetype i = 0; i < ini.lines.size(); ++i) {
        const QString &line = ini.lines.at(i);
        const QString name = sectionName(line);
        if (!name.isNull()) {
            if (sectionLine >= 0)
                break;
            if (sameName(name, section)) {
                sectionLine = i;
                lastEntry = i;
            }
            continue;
        }
        if (sectionLine < 0)
            continue;
        if (!trimBlanks(line).isEmpty())
            lastEntry = i;
        const QString lineKey = keyName(line);
        if (!lineKey.isNull() && sameName(lineKey, key)) {
            // The key keeps its spelling and its place; only the value changes.
            ini.lines[i] = lineKey + QLatin1Char('=') + value;
            lastEntry = -2;
            break;
        }
    }
    if (sectionLine < 0) {
        if (!ini.lines.isEmpty() && !trimBlanks(ini.lines.constLast()).isEmpty())
            ini.lines << QString();
        ini.lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else if (lastEntry >= 0) {
        ini.lines.insert(lastEntry + 1, entry);
    }

    const QFileInfo info(fileName);
    QDir().mkpath(info.absolutePath());
    // Written whole and then swapped in: a failed write leaves the old file.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QString text;
    for (const QString &line : std::as_const(ini.lines))
        text += line + ini.lineEnd;
    file.write(text.toUtf8());
    file.commit();
}

} // namespace telx5::PortSettingsStore
