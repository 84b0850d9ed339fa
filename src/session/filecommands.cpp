#include "filecommands.h"

#include "sessionsupport.h"
#include "settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace telx5 {

namespace {

using SettingsFile::MaxFileSize;

using SessionSupport::FixedText;
using SessionSupport::SessionText;

// Both commands empty the file name before showing it, so a
// name chosen earlier is never reused; both start in the program's folder.
Dialogs::FileRequest fileRequest(const QString &title, const QString &filter, bool confirmOverwrite,
                                 const QString &defaultSuffix = {})
{
    return {title, filter, QCoreApplication::applicationDirPath(), confirmOverwrite, defaultSuffix};
}

// Names the file and the system's reason, so the user can choose another.
QString failureText(bool saving, const QString &fileName, const QString &reason)
{
    const QString text =
        saving ? SessionText::tr("Save failed: ") : SessionText::tr("Load failed: ");
    return text + QDir::toNativeSeparators(fileName) + QStringLiteral("\r\n") + reason;
}

// A link counts as what it points at: saving through a link to a settings
// file is saving that file.
bool isRegularOrMissing(const QString &fileName)
{
    const QFileInfo info(fileName);
    return !info.exists() || info.isFile();
}

QString notRegular()
{
    return SessionText::tr("It is not a regular file.");
}

#ifdef Q_OS_UNIX
QString ownerName(uid_t user, gid_t group)
{
    const passwd *userEntry = ::getpwuid(user);
    const ::group *groupEntry = ::getgrgid(group);
    return (userEntry ? QString::fromLocal8Bit(userEntry->pw_name) : QString::number(user)) +
           QLatin1Char(':') +
           (groupEntry ? QString::fromLocal8Bit(groupEntry->gr_name) : QString::number(group));
}
#endif

// The new file, still aside, takes the owner, group and mode of the one it
// replaces: a save run with sudo leaves the user's file theirs, readable by
// them. Only root may give a file away, so another user's file becomes the
// saver's; `ownerNote` then says so. False, with the system's reason, when
// the mode cannot be set.
bool keepOwnerAndMode(const QString &fileName, int handle, QString *ownerNote, QString *reason)
{
#ifdef Q_OS_UNIX
    struct stat old;
    if (::stat(QFile::encodeName(fileName).constData(), &old) != 0)
        return true; // nothing is replaced
    // Anyone may keep a group they belong to, on a file they own.
    const bool ownerKept =
        ::fchown(handle, old.st_uid, old.st_gid) == 0 ||
        (::fchown(handle, uid_t(-1), old.st_gid) == 0 && old.st_uid == ::geteuid());
    // A change of owner clears the set-ID bits: the mode comes last.
    if (::fchmod(handle, old.st_mode & 07777) != 0) {
        *reason = qt_error_string(errno);
        return false;
    }
    struct stat now;
    if (!ownerKept && ::fstat(handle, &now) == 0)
        *ownerNote = SessionText::tr("The owner changed: %1 belonged to %2 and now belongs to %3")
                         .arg(QDir::toNativeSeparators(fileName), ownerName(old.st_uid, old.st_gid),
                              ownerName(now.st_uid, now.st_gid));
#else
    Q_UNUSED(fileName);
    Q_UNUSED(handle);
    Q_UNUSED(ownerNote);
    Q_UNUSED(reason);
#endif
    return true;
}

// Written aside and renamed over the old file only when complete, so a full
// disk or a locked file never leaves a half-written settings file. The file
// aside is gone when this returns, whatever failed: on Linux it has no name
// until the commit links it in, and QSaveFile removes it when the commit's
// rename fails or when it is destroyed uncommitted. Its commit swaps the file
// in even when its own flush of the buffered bytes fails, so the bytes are
// pushed out and checked first.
bool saveAside(const QString &fileName, const QByteArray &content, QString *ownerNote,
               QString *reason)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (!keepOwnerAndMode(fileName, file.handle(), ownerNote, reason))
        return false;
    if (file.write(content) == content.size() && file.flush() && file.commit())
        return true;
    *reason = file.errorString();
    return false;
}

// The whole file, or nothing once a box has said why it cannot be read.
std::optional<QByteArray> readContent(SessionHost &host, const QString &fileName)
{
    // A FIFO would block the open, a device would never end.
    if (!isRegularOrMissing(fileName)) {
        host.dialogs().message(failureText(false, fileName, notRegular()));
        return std::nullopt;
    }
    // A settings file is about 300 bytes; anything near this is not one, and
    // would fill the status box line by line.
    const QFileInfo info(fileName);
    if (info.size() > MaxFileSize) {
        host.dialogs().message(
            failureText(false, fileName,
                        SessionText::tr("The file has %1 bytes; a settings file has at most 1 MiB.")
                            .arg(info.size())));
        return std::nullopt;
    }

    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        QByteArray content = file.read(MaxFileSize);
        if (file.error() == QFileDevice::NoError)
            return content;
    }
    host.dialogs().message(failureText(false, fileName, file.errorString()));
    return std::nullopt;
}

} // namespace

bool saveSettingsFile(SessionContext &context)
{
    SessionHost &host = context.host;
    // "kb1" is saved as "kb1.ini", which the Load dialog lists.
    //: Stays English in both languages.
    const QString fileName = host.dialogs().saveFileName(fileRequest(
        FixedText::tr("Save"), FixedText::tr("setup file(*.ini)"), true, QStringLiteral("ini")));
    if (fileName.isEmpty())
        return false;

    // A device node, a FIFO or a folder chosen as the file is never replaced
    // by a regular file.
    if (!isRegularOrMissing(fileName)) {
        host.dialogs().message(failureText(true, fileName, notRegular()));
        return false;
    }
    SessionSupport::noteTextLoss(host, context.codec);

    const QByteArray content = SettingsFile::save(host.settings().record(), context.codec);
    QString ownerNote;
    QString reason;
    if (!saveAside(fileName, content, &ownerNote, &reason)) {
        host.dialogs().message(failureText(true, fileName, reason));
        return false;
    }
    host.settings().appendStatusLine(SessionText::tr("Saved: ") +
                                     QDir::toNativeSeparators(fileName));
    if (!ownerNote.isEmpty())
        host.settings().appendStatusLine(ownerNote);
    return true;
}

QString chooseSettingsFile(SessionContext &context)
{
    // A settings file saved under another name is still within reach.
    //: Stays English in both languages.
    const QString filter =
        FixedText::tr("ini文件(*.ini)") + QStringLiteral(";;") + SessionText::tr("All files (*)");
    return context.host.dialogs().openFileName(
        fileRequest(FixedText::tr("Please choose fireware."), filter, false));
}

bool loadSettingsFile(SessionContext &context)
{
    const QString fileName = chooseSettingsFile(context);
    if (fileName.isEmpty())
        return false;
    return loadSettingsFileNamed(context, fileName);
}

bool loadSettingsFileNamed(SessionContext &context, const QString &fileName)
{
    SessionHost &host = context.host;
    DeviceView &view = host.settings();
    view.setStatusText(QDir::toNativeSeparators(fileName) + QStringLiteral("\r\n\r\n"));
    // The loaded settings may be written to a device even when the file
    // could not be read to its end.
    host.setEnabled(Button::Write, true);

    const std::optional<QByteArray> content = readContent(host, fileName);
    if (!content)
        return false;
    const SettingsFile::LoadResult result =
        SettingsFile::load(*content, host.lineBuffer(), context.parser, view, context.codec);
    if (result.foundSettings)
        view.record().setOrigin(SettingsRecord::Origin::Loaded);
    // The lines read are in the box; say where and why it stopped.
    if (!result.complete())
        view.appendStatus(
            SessionText::tr("Stopped at line %1: not a valid settings line").arg(result.stoppedAt) +
            QStringLiteral("\r\n"));
    else if (!result.foundSettings)
        view.appendStatus(SessionText::tr("No settings found in this file") +
                          QStringLiteral("\r\n"));
    return true;
}

std::optional<SettingsRecord> readSettingsFileAside(SessionContext &context,
                                                    const QString &fileName)
{
    const std::optional<QByteArray> content = readContent(context.host, fileName);
    if (!content)
        return std::nullopt;
    // A parser, line and flags of its own: a "CONNECT" in the file raises
    // no flag a running session polls.
    Flags flags;
    LineBuffer line;
    RecordView view;
    LineParser parser(view, flags, context.codec);
    SettingsFile::load(*content, line, parser, view, context.codec);
    return view.record();
}

} // namespace telx5
