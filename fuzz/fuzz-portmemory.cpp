// The port memory ("XRVComm.ini"): the input's bytes as the file, then one
// key written (or the whole set the Read command stores) and read back.
//
// Oracles: each key written reads back as written (blanks around it dropped,
// at most 254 characters); every other key of the file, in any section, keeps
// its value; no value read is longer than 254 characters.

#include "fuzzsupport.h"
#include "portsettingsstore.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include <utility>

using namespace telx5;

namespace {

constexpr qsizetype MaxValueLength = 254;
constexpr qsizetype MaxProbes = 32;

const QStringList Sections{QStringLiteral("XRVComm"), QStringLiteral("xrvcomm"),
                           QStringLiteral("Other")};
const QStringList Keys{QStringLiteral("par5"),   QStringLiteral("par4"),   QStringLiteral("par1"),
                       QStringLiteral("par3"),   QStringLiteral("par2"),   QStringLiteral("par0"),
                       QStringLiteral("InBuff"), QStringLiteral("OutBuff")};

using Entry = std::pair<QString, QString>; // section, key

QString withoutBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    const auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (first < last && blank(text.at(first)))
        ++first;
    while (last > first && blank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

// The sections and keys the file names, and the ones about to be written.
QList<Entry> probes(const QByteArray &file, const QString &section)
{
    QList<Entry> entries;
    for (const QString &key : Keys)
        entries.append({section, key});
    QString current;
    for (QString line : QString::fromUtf8(file).split(QLatin1Char('\n'))) {
        if (entries.size() >= MaxProbes)
            break;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = withoutBlanks(line);
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')) &&
            trimmed.size() >= 2) {
            current = withoutBlanks(trimmed.mid(1, trimmed.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals >= 0)
            entries.append({current, withoutBlanks(line.left(equals))});
    }
    return entries;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every write is committed to disk; in a RAM folder that costs little.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isDir()
                                 ? QStringLiteral("/dev/shm/telx5-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/telx5-fuzz-XXXXXX"));
    static const QString fileName = dir.filePath(QStringLiteral("XRVComm.ini"));

    FuzzedDataProvider input(data, size);
    const bool storeAll = input.ConsumeBool();
    const QString section = Sections.at(input.ConsumeIntegralInRange<qsizetype>(0, 2));
    const QString key = Keys.at(input.ConsumeIntegralInRange<qsizetype>(0, Keys.size() - 1));
    // A port name never holds a line end; anything else may come.
    const std::string valueBytes = input.ConsumeRandomLengthString(400);
    QString value = QString::fromUtf8(valueBytes.data(), qsizetype(valueBytes.size()));
    value.remove(QLatin1Char('\r'));
    value.remove(QLatin1Char('\n'));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray file(rest.data(), qsizetype(rest.size()));

    QFile::remove(fileName);
    if (!file.isEmpty()) {
        QFile out(fileName);
        if (!out.open(QIODevice::WriteOnly) || out.write(file) != file.size())
            fuzz::fail("the temporary file cannot be written", fileName);
    }

    // What is written: one key, or the eight keys of a stored port, each with
    // its own value.
    QList<std::pair<Entry, QString>> written;
    if (storeAll) {
        for (qsizetype i = 0; i < Keys.size(); ++i)
            written.append({{QStringLiteral("XRVComm"), Keys.at(i)}, value + QString::number(i)});
    } else {
        written.append({{section, key}, value});
    }
    const QList<Entry> probed = probes(file, written.constFirst().first.first);
    QStringList before;
    for (const auto &[probeSection, probeKey] : probed)
        before.append(PortSettingsStore::readValue(probeSection, probeKey, fileName));

    if (storeAll) {
        const auto at = [&written](int i) { return written.at(i).second; };
        PortSettingsStore::storePortSettings(fileName, at(0), at(1), at(2), at(3), at(4), at(5),
                                             at(6), at(7));
    } else {
        PortSettingsStore::writeValue(section, key, value, fileName);
    }

    for (const auto &[entry, text] : std::as_const(written)) {
        const QString read = PortSettingsStore::readValue(entry.first, entry.second, fileName);
        if (read != withoutBlanks(text).left(MaxValueLength))
            fuzz::fail("a key reads back as written", entry.second + QStringLiteral(": \"") + read +
                                                          QStringLiteral("\" for \"") + text +
                                                          QLatin1Char('"'));
    }
    for (qsizetype i = 0; i < probed.size(); ++i) {
        const auto &[probeSection, probeKey] = probed.at(i);
        const QString after = PortSettingsStore::readValue(probeSection, probeKey, fileName);
        if (after.size() > MaxValueLength)
            fuzz::fail("a value read holds at most 254 characters", probeKey);
        bool wasWritten = false;
        for (const auto &[entry, text] : std::as_const(written))
            wasWritten =
                wasWritten || (same(entry.first, probeSection) && same(entry.second, probeKey));
        if (!wasWritten && after != before.at(i))
            fuzz::fail("other keys keep their values",
                       QStringLiteral("[%1] %2: \"%3\" became \"%4\"")
                           .arg(probeSection, probeKey, before.at(i), after));
    }
    return 0;
}
