#include "portsettingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace telx5::PortSettingsStore {

namespace {

const QString FileName = QStringLiteral("XRVComm.ini");
const QString Section = QStringLiteral("XRVComm");
// The remembered port takes a few hundred bytes; a file far bigger is not ours, and reading it
// whole could exhaust the memory.
constexpr qint64 MaxFileSize = 64 * 1024;

// A CR counts as a blank too: whether one at the end of a line is part of its
// line end or of the value cannot be told once the file has been written
// again with line ends of its own, and a port's name never ends in one.
QString trimBlanks(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    auto blank = [](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r');
    };
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

enum class Found
{
    Nothing,
    Text,
    TooLarge,
    NotRegular
};

// Up to MaxFileSize + 1 bytes, so that a file that grows while it is read still counts as too
// large.
Found readBounded(const QString &fileName, QByteArray &bytes)
{
    const QFileInfo info(fileName);
    if (info.isSymLink() || (info.exists() && !info.isFile()))
        return Found::NotRegular;
    QFile file;
#ifdef Q_OS_UNIX
    // The file may have been swapped since the look above: the open neither follows a link nor
    // waits for the writer of a FIFO, and what it opened is looked at again.
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ELOOP ? Found::NotRegular : Found::Nothing;
    struct stat status;
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return regular ? Found::Nothing : Found::NotRegular;
    }
#else
    file.setFileName(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Found::Nothing;
#endif
    bytes = file.read(MaxFileSize + 1);
    return bytes.size() > MaxFileSize ? Found::TooLarge : Found::Text;
}

// The file's lines hold one character a byte (Latin-1), so that what this
// store does not own (another program's section, a comment in another
// encoding) is written back byte for byte; the values it reads and writes are
// UTF-8 within them.
struct IniText
{
    Found found = Found::Nothing;
    QStringList lines;
    QString lineEnd;
};

QString asBytes(const QString &text)
{
    return QString::fromLatin1(text.toUtf8());
}

QString fromBytes(QStringView bytes)
{
    return QString::fromUtf8(bytes.toLatin1());
}

IniText readLines(const QString &fileName)
{
    IniText ini;
#ifdef Q_OS_WIN
    ini.lineEnd = QStringLiteral("\r\n");
#else
    ini.lineEnd = QStringLiteral("\n");
#endif
    QByteArray bytes;
    ini.found = readBounded(fileName, bytes);
    if (ini.found != Found::Text)
        return ini;
    const QString text = QString::fromLatin1(bytes);
    // An existing file keeps the line ends it has.
    if (text.contains(QLatin1String("\r\n")))
        ini.lineEnd = QStringLiteral("\r\n");
    else if (text.contains(QLatin1Char('\n')))
        ini.lineEnd = QStringLiteral("\n");
    ini.lines = text.split(QLatin1Char('\n'));
    // Only a line that a line end follows has a CR of that line end; the
    // last one keeps what it holds.
    for (qsizetype i = 0; i + 1 < ini.lines.size(); ++i) {
        if (ini.lines[i].endsWith(QLatin1Char('\r')))
            ini.lines[i].chop(1);
    }
    if (!ini.lines.isEmpty() && ini.lines.constLast().isEmpty())
        ini.lines.removeLast();
    return ini;
}

void warn(const QString &fileName, const QString &reason)
{
    QTextStream(stderr) << QDir::toNativeSeparators(fileName) << ": " << reason << '\n';
}

void setValue(QStringList &lines, const QString &section, const QString &key, const QString &value)
{
    const QString entry = key + QLatin1Char('=') + value;

    qsizetype sectionLine = -1;
    qsizetype lastEntry = -1; // the section's last non-blank line
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
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
            lines[i] = lineKey + QLatin1Char('=') + value;
            lastEntry = -2;
            break;
        }
    }
    if (sectionLine < 0) {
        if (!lines.isEmpty() && !trimBlanks(lines.constLast()).isEmpty())
            lines << QString();
        lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else if (lastEntry >= 0) {
        lines.insert(lastEntry + 1, entry);
    }
}

// Written whole and then swapped in: a failed write leaves the old file.
void save(const QString &fileName, const IniText &ini)
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QSaveFile file(fileName);
    QString text;
    for (const QString &line : ini.lines)
        text += line + ini.lineEnd;
    const QByteArray bytes = text.toLatin1();
    // commit() swaps the file in even when its own flush of the buffered bytes fails (a full
    // disk), leaving a cut or empty file; so the bytes are pushed out and checked first.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit())
        return;
    const QString reason = file.errorString();
    file.cancelWriting();
    warn(fileName, QStringLiteral("not saved, the old file is kept: ") + reason);
}

// One read and one write for all the keys, whatever their number.
void writeValues(const QString &fileName, const QString &section,
                 const QList<std::pair<QString, QString>> &entries)
{
    IniText ini = readLines(fileName);
    // Replacing it would write through a link into another file, drop a FIFO
    // or a device, or lose a big file that someone put there.
    if (ini.found == Found::NotRegular) {
        warn(fileName, QStringLiteral("not a regular file, left as it is"));
        return;
    }
    if (ini.found == Found::TooLarge) {
        warn(fileName, QStringLiteral("larger than 64 KiB, left as it is"));
        return;
    }
    for (const auto &[key, value] : entries)
        setValue(ini.lines, asBytes(section), asBytes(key), asBytes(value));
    save(fileName, ini);
}

// The folders of the system's own files and installed programs, and their subfolders: /bin is
// a link to /usr/bin on many systems, so the folder is looked at with its links resolved.
bool isSystemFolder(const QString &folder)
{
    static const QStringList Roots = {
        QStringLiteral("/usr"),   QStringLiteral("/opt"),    QStringLiteral("/bin"),
        QStringLiteral("/sbin"),  QStringLiteral("/lib"),    QStringLiteral("/lib32"),
        QStringLiteral("/lib64"), QStringLiteral("/libx32"), QStringLiteral("/etc"),
        QStringLiteral("/var"),   QStringLiteral("/snap"),   QStringLiteral("/app"),
    };
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QString path = canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    return std::any_of(Roots.cbegin(), Roots.cend(), [&path](const QString &root) {
        return path == root || path.startsWith(root + QLatin1Char('/'));
    });
}

} // namespace

QString defaultIniPath()
{
    // One folder for the window and telx5-cli, so that the command line's
    // default port is the one the window last read from, and the other way.
    const QString configDir =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return iniPathFor(QCoreApplication::applicationDirPath(),
                      QDir(configDir).filePath(QStringLiteral("telx5-config")));
}

QString iniPathFor(const QString &programDir, const QString &configDir)
{
    if (isUserFolder(programDir))
        return QDir(programDir).filePath(FileName);
    return QDir(configDir).filePath(FileName);
}

bool isUserFolder(const QString &programDir)
{
    return !programDir.isEmpty() && QFileInfo(programDir).isWritable() &&
           !isSystemFolder(programDir);
}

void storePortSettings(const QString &fileName, const QString &port, const QString &baudRate,
                       const QString &stopBits, const QString &parity, const QString &dataBits,
                       const QString &flowControl, const QString &inBuffer,
                       const QString &outBuffer)
{
    writeValues(fileName, Section,
                {{QStringLiteral("par5"), port},
                 {QStringLiteral("par4"), baudRate},
                 {QStringLiteral("par1"), stopBits},
                 {QStringLiteral("par3"), parity},
                 {QStringLiteral("par2"), dataBits},
                 {QStringLiteral("par0"), flowControl},
                 {QStringLiteral("InBuff"), inBuffer},
                 {QStringLiteral("OutBuff"), outBuffer}});
}

QString readValue(const QString &section, const QString &key, const QString &fileName)
{
    const IniText ini = readLines(fileName);
    if (ini.found == Found::NotRegular)
        warn(fileName, QStringLiteral("not a regular file, ignored"));
    else if (ini.found == Found::TooLarge)
        warn(fileName, QStringLiteral("larger than 64 KiB, ignored"));
    bool inSection = false;
    for (const QString &line : ini.lines) {
        const QString name = sectionName(line);
        if (!name.isNull()) {
            inSection = sameName(name, asBytes(section));
            continue;
        }
        if (!inSection)
            continue;
        const QString lineKey = keyName(line);
        if (!lineKey.isNull() && sameName(lineKey, asBytes(key))) {
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            return fromBytes(trimBlanks(QStringView(line).mid(equals + 1))).left(MaxValueLength);
        }
    }
    return {};
}

void writeValue(const QString &section, const QString &key, const QString &value,
                const QString &fileName)
{
    writeValues(fileName, section, {{key, value}});
}

} // namespace telx5::PortSettingsStore
