#include "backups.h"

#include "filecommands.h"
#include "sessionsupport.h"
#include "settingsfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <tuple>
#include <vector>

namespace telx5 {

namespace Backups {

namespace {

using SessionSupport::SessionText;

// More backups of one name in one second than anyone makes: the search for a
// free name ends.
constexpr int MostCopies = 1000;

// File names stay portable and need no quoting in a shell.
QString namePart(const QString &text)
{
    QString part = text;
    for (QChar &character : part) {
        const char16_t code = character.unicode();
        const bool kept = (code >= u'a' && code <= u'z') || (code >= u'A' && code <= u'Z') ||
                          (code >= u'0' && code <= u'9') || code == u'-';
        if (!kept)
            character = QLatin1Char('_');
    }
    return part;
}

// The callsign part may hold "_" and "-"; the reason is the last part that
// holds only letters and "-", the copy a number after it.
const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        R"(^(\d{4}-\d{2}-\d{2})_(\d{2})-(\d{2})-(\d{2})_(.+)_([A-Za-z]+(?:-[A-Za-z]+)*)(?:_(\d+))?\.ini$)"));
    return pattern;
}

struct Found
{
    Entry entry;
    QString stamp; // sorts as the time does
    int copy = 1;
    QString name;
};

QString folderText(const QString &folder)
{
    return QDir::toNativeSeparators(folder);
}

// Beyond the newest `Kept`, a backup goes unless it is the newest of its
// callsign: a device read once, long ago, keeps its last settings.
void prune(const QString &folder)
{
    QSet<QString> callsigns;
    const QList<Entry> entries = list(folder);
    for (qsizetype index = 0; index < entries.size(); ++index) {
        const Entry &entry = entries.at(index);
        const bool newestOfCallsign = !callsigns.contains(entry.callsign);
        callsigns.insert(entry.callsign);
        if (index >= Kept && !newestOfCallsign)
            QFile::remove(entry.path);
    }
}

} // namespace

QString defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/telx5-config/backups");
}

QString fileName(const QDateTime &when, const QString &callsign, const QString &ssid,
                 QLatin1StringView reason, int copy)
{
    const QString call = callsign.trimmed();
    QString station = call.isEmpty() ? QStringLiteral("unknown") : call;
    if (const QString number = ssid.trimmed(); !number.isEmpty())
        station += QLatin1Char('-') + number;
    QString name = when.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QLatin1Char('_') +
                   namePart(station) + QLatin1Char('_') + namePart(reason);
    if (copy > 1)
        name += QLatin1Char('_') + QString::number(copy);
    return name + QStringLiteral(".ini");
}

BackupOutcome keep(const QString &folder, const SettingsRecord &record, QLatin1StringView reason,
                   const TextCodec &codec, const QDateTime &when)
{
    BackupOutcome outcome;
    std::error_code made;
    std::filesystem::create_directories(QFile::encodeName(folder).toStdString(), made);
    if (made) {
        outcome.error = QStringLiteral("%1: %2").arg(folderText(folder),
                                                     QString::fromLocal8Bit(made.message()));
        return outcome;
    }

    // Written aside, so that a full disk leaves no half backup under a
    // backup's name; the rename never replaces a file, so two backups within
    // one second, from two programs even, both stay.
    const QDir dir(folder);
    QTemporaryFile file(dir.filePath(QStringLiteral(".backup-XXXXXX")));
    const QByteArray content = SettingsFile::save(record, codec);
    if (!file.open() || file.write(content) != content.size() || !file.flush()) {
        outcome.error = QStringLiteral("%1: %2").arg(folderText(folder), file.errorString());
        return outcome;
    }
    for (int copy = 1; copy <= MostCopies && outcome.path.isEmpty(); ++copy) {
        const QString path = dir.filePath(
            fileName(when, record.text(Field::Callsign), record.text(Field::Ssid), reason, copy));
        const auto taken = [&path] {
            const QFileInfo info(path);
            return info.exists() || info.isSymLink();
        };
        if (taken())
            continue;
        if (file.rename(path)) {
            file.setAutoRemove(false);
            outcome.path = path;
        } else if (!taken()) {
            outcome.error =
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            return outcome;
        }
    }
    if (outcome.path.isEmpty()) {
        outcome.error =
            SessionText::tr("%1: every name for this backup is taken").arg(folderText(folder));
        return outcome;
    }
    prune(folder);
    return outcome;
}

QList<Entry> list(const QString &folder)
{
    QList<Found> found;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(QDir::Files)) {
        const QRegularExpressionMatch match = namePattern().match(name);
        if (!match.hasMatch())
            continue;
        Found backup;
        backup.entry.date = match.captured(1) + QLatin1Char(' ') + match.captured(2) +
                            QLatin1Char(':') + match.captured(3) + QLatin1Char(':') +
                            match.captured(4);
        backup.entry.callsign = match.captured(5);
        backup.entry.reason = match.captured(6);
        backup.entry.path = dir.filePath(name);
        backup.stamp = backup.entry.date;
        backup.copy = match.hasCaptured(7) ? match.captured(7).toInt() : 1;
        backup.name = name;
        found.append(backup);
    }
    std::sort(found.begin(), found.end(), [](const Found &a, const Found &b) {
        return std::tie(a.stamp, a.copy, a.name) > std::tie(b.stamp, b.copy, b.name);
    });
    QList<Entry> entries;
    for (const Found &backup : std::as_const(found))
        entries.append(backup.entry);
    return entries;
}

} // namespace Backups

using SessionSupport::SessionText;

BackupOutcome keepBackup(SessionContext &context, const SettingsRecord &device,
                         QLatin1StringView reason)
{
    const QString folder = context.host.backupFolder();
    if (folder.isEmpty())
        return {};
    const BackupOutcome outcome = Backups::keep(folder, device, reason, context.codec);
    if (!outcome.failed())
        context.host.settings().appendStatusLine(
            SessionText::tr("Backup kept: %1").arg(QDir::toNativeSeparators(outcome.path)));
    return outcome;
}

QList<Backups::Step> backupChanges(SessionContext &context, const QList<Backups::Entry> &entries)
{
    QList<Backups::Step> steps;
    for (const Backups::Entry &entry : entries)
        steps.append({entry, {}, false, true});
    // Oldest first: each device's backups after the one before them.
    std::vector<qsizetype> order(std::size_t(steps.size()));
    // Backups of one second are listed newest first as well.
    std::iota(order.rbegin(), order.rend(), 0);
    std::stable_sort(order.begin(), order.end(), [&steps](qsizetype a, qsizetype b) {
        return steps.at(a).entry.date < steps.at(b).entry.date;
    });
    QHash<QString, SettingsRecord> before;
    for (qsizetype at : order) {
        Backups::Step &step = steps[at];
        const std::optional<SettingsRecord> settings =
            readSettingsFileAside(context, step.entry.path);
        step.readable = settings.has_value();
        const auto previous = before.constFind(step.entry.callsign);
        step.first = previous == before.cend();
        if (!settings)
            continue;
        if (!step.first) {
            using SettingsTable::Destination;
            for (Setting setting : SettingsFile::differences(*previous, *settings, true))
                step.changes.append(
                    {setting, SettingsTable::valueText(setting, *previous, Destination::Window),
                     SettingsTable::valueText(setting, *settings, Destination::Window)});
        }
        before.insert(step.entry.callsign, *settings);
    }
    return steps;
}

// The newest backup of this device, when it holds every setting as
// `received` does; empty otherwise.
QString backupHolding(SessionContext &context, const SettingsRecord &received)
{
    const QString call = received.text(Field::Callsign).trimmed();
    const QString station = (call.isEmpty() ? QStringLiteral("unknown") : call) + QLatin1Char('-') +
                            received.text(Field::Ssid).trimmed();
    const QList<Backups::Entry> entries = Backups::list(context.host.backupFolder());
    const auto newest =
        std::find_if(entries.cbegin(), entries.cend(),
                     [&station](const Backups::Entry &entry) { return entry.callsign == station; });
    if (newest == entries.cend())
        return {};
    const std::optional<SettingsRecord> kept = readSettingsFileAside(context, newest->path);
    if (!kept || !kept->missing(SettingsTable::fileSettings()).isEmpty() ||
        !SettingsFile::differences(*kept, received, true).isEmpty())
        return {};
    return newest->path;
}

void keepReadBackup(SessionContext &context, const SettingsRecord &received)
{
    // A backup without a setting would blank it on the device when written
    // back.
    if (!received.missing(SettingsTable::fileSettings()).isEmpty())
        return;
    // Repeated reads of an unchanged device keep no copies that would push
    // older, different backups out of the newest kept.
    if (context.host.backupFolder().isEmpty())
        return;
    if (const QString holding = backupHolding(context, received); !holding.isEmpty()) {
        context.host.settings().appendStatusLine(
            SessionText::tr("The settings are those of the backup %1: no new backup kept")
                .arg(QDir::toNativeSeparators(holding)));
        return;
    }
    const BackupOutcome outcome = keepBackup(context, received, Backups::AfterRead);
    if (outcome.failed())
        context.host.settings().appendStatusLine(
            SessionText::tr("Could not keep a backup: %1").arg(outcome.error));
}

bool keepBackupBeforeChange(SessionContext &context, const SettingsRecord &device,
                            QLatin1StringView reason, QString *path)
{
    const BackupOutcome outcome = keepBackup(context, device, reason);
    if (path)
        *path = outcome.path;
    if (!outcome.failed())
        return true;
    SessionHost &host = context.host;
    const bool goOn = host.dialogs().question(
        SessionText::tr("Could not keep a backup of the device's settings:\r\n%1\r\n\r\nGo on "
                        "without a backup?")
            .arg(outcome.error),
        SessionText::tr("Backup"));
    host.settings().appendStatusLine(
        (goOn ? SessionText::tr("Could not keep a backup: %1; going on without one")
              : SessionText::tr("Could not keep a backup: %1; nothing was written"))
            .arg(outcome.error));
    return goOn;
}

} // namespace telx5
