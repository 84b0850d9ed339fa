#pragma once

#include "codepage.h"
#include "host.h"

#include <QDateTime>
#include <QLatin1StringView>
#include <QList>
#include <QString>

namespace telx5 {

// What became of a backup: where it was kept, or why none could be.
struct BackupOutcome
{
    QString path;
    QString error;

    bool failed() const { return !error.isEmpty(); }
};

// Dated settings files of what a device held: after every complete read, and
// before a write or an update changes it. A backup is an ordinary settings
// file, so "Load file" and `telx5-cli write` take it back.
namespace Backups {

// Why a backup was kept; the last part of its name.
inline constexpr QLatin1StringView AfterRead("read");
inline constexpr QLatin1StringView BeforeWrite("before-write");
inline constexpr QLatin1StringView BeforeUpdate("before-update");

// The newest this many always stay; an older one only while it is the newest
// of its callsign.
inline constexpr qsizetype Kept = 200;

// "telx5-config/backups" in the user's data folder:
// ~/.local/share/telx5-config/backups on Linux, under $XDG_DATA_HOME when set.
QString defaultFolder();

// "2026-12-07_15-42-10_BG7ABC-9_before-write.ini": the local time, the
// callsign and SSID ("unknown" for no callsign), the reason, and from the
// second backup of the same name within one second on, "_2", "_3", …. In the
// callsign, SSID and reason anything but ASCII letters, digits and "-"
// becomes "_".
QString fileName(const QDateTime &when, const QString &callsign, const QString &ssid,
                 QLatin1StringView reason, int copy = 1);

// Saves `record` as a settings file in `folder` (made when missing), under a
// name no other backup has: written aside and given its name only when
// complete, never over another file. Then deletes what the folder holds
// beyond the backups it keeps.
BackupOutcome keep(const QString &folder, const SettingsRecord &record, QLatin1StringView reason,
                   const TextCodec &codec, const QDateTime &when = QDateTime::currentDateTime());

struct Entry
{
    QString date;     // "2026-12-07 15:42:10"
    QString callsign; // with the SSID, as in the name
    QString reason;
    QString path;
};

// The backups in `folder`, newest first; other files are left out.
QList<Entry> list(const QString &folder);

// A setting that changed from one backup of a device to its next, as the
// window shows its values.
struct Change
{
    Setting setting;
    QString from;
    QString to;
};

// A backup with what changed since the backup of the same device before it.
struct Step
{
    Entry entry;
    QList<Change> changes;
    bool first = false;   // the device's oldest backup: nothing to compare with
    bool readable = true; // false: the file cannot be read as settings
};

} // namespace Backups

// `entries` (as Backups::list gives them, or any part of them), each with the
// settings that changed since the backup of the same device before it, in
// all 19 settings, addresses included; in their order.
QList<Backups::Step> backupChanges(SessionContext &context, const QList<Backups::Entry> &entries);

// The host's backup folder gets `device`'s settings, and the status box says
// where ("Backup kept: PATH"). A host without a backup folder (the simulated
// device, `--no-backup`) keeps none and says nothing.
BackupOutcome keepBackup(SessionContext &context, const SettingsRecord &device,
                         QLatin1StringView reason);

// After a read: a backup of what it received, when the device sent every
// setting a settings file holds. The status box says why one could not be
// kept; the read has succeeded all the same.
void keepReadBackup(SessionContext &context, const SettingsRecord &received);

// Before a write or an update changes the device: a backup of what it holds.
// Whether the command may go on: when none could be kept, the user decides
// (the window asks; the command line has no one to ask, and goes on only
// without backups, `--no-backup`), and the status box says what came of it.
// `path` gets where the backup went.
bool keepBackupBeforeChange(SessionContext &context, const SettingsRecord &device,
                            QLatin1StringView reason, QString *path = nullptr);

} // namespace telx5
