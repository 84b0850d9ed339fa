#include "filecommands.h"

#include "sessionsupport.h"
#include "settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace telx5 {

namespace {

using SettingsFile::MaxFileSize;

using SessionSupport::pick;

// Both commands empty the file name before showing it, so a
// name chosen earlier is never reused; both start in the program's folder.
Dialogs::FileRequest fileRequest(const QString &title, const QString &filter, bool confirmOverwrite)
{
    return {title, filter, QCoreApplication::applicationDirPath(), confirmOverwrite};
}

// Names the file and the system's reason, so the user can choose another.
QString failureText(const SessionHost &host, bool saving, const QString &fileName,
                    const QString &reason)
{
    QString text;
    if (host.isChinese())
        text = saving ? QStringLiteral("保存失败：") : QStringLiteral("载入失败：");
    else
        text = saving ? QStringLiteral("Save failed: ") : QStringLiteral("Load failed: ");
    return text + QDir::toNativeSeparators(fileName) + QStringLiteral("\r\n") + reason;
}

// A link counts as what it points at: saving through a link to a settings
// file is saving that file.
bool isRegularOrMissing(const QString &fileName)
{
    const QFileInfo info(fileName);
    return !info.exists() || info.isFile();
}

QString notRegular(const SessionHost &host)
{
    return pick(host, u"这不是一个普通文件。", u"It is not a regular file.");
}

} // namespace

void saveSettingsFile(SessionContext &context)
{
    SessionHost &host = context.host;
    const QString fileName = host.dialogs().saveFileName(
        fileRequest(QStringLiteral("Save"), QStringLiteral("setup file(*.ini)"), true));
    if (fileName.isEmpty())
        return;

    // A device node, a FIFO or a folder chosen as the file is never replaced
    // by a regular file.
    if (!isRegularOrMissing(fileName))
        return host.dialogs().message(failureText(host, true, fileName, notRegular(host)));
    SessionSupport::noteTextLoss(host, context.codec);

    // Written aside and renamed over the old file only when complete, so a
    // full disk or a locked file never leaves a half-written settings file.
    // QSaveFile's commit swaps the file in even when its own flush of the
    // buffered bytes fails, so the bytes are pushed out and checked first.
    const QByteArray content = SettingsFile::save(host.settings(), context.codec);
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.flush() &&
        file.commit()) {
        host.settings().appendStatusLine(pick(host, u"已保存：", u"Saved: ") +
                                         QDir::toNativeSeparators(fileName));
        return;
    }
    const QString reason = file.errorString();
    file.cancelWriting();
    host.dialogs().message(failureText(host, true, fileName, reason));
}

void loadSettingsFile(SessionContext &context)
{
    SessionHost &host = context.host;
    const QString fileName = host.dialogs().openFileName(fileRequest(
        QStringLiteral("Please choose fireware."), QStringLiteral("ini文件(*.ini)"), false));
    if (fileName.isEmpty())
        return;

    DeviceView &view = host.settings();
    view.setStatusText(QDir::toNativeSeparators(fileName) + QStringLiteral("\r\n\r\n"));
    // The loaded settings may be written to a device even when the file
    // could not be read to its end.
    host.setEnabled(Button::Write, true);

    // A FIFO would block the open, a device would never end.
    if (!isRegularOrMissing(fileName))
        return host.dialogs().message(failureText(host, false, fileName, notRegular(host)));
    // A settings file is about 300 bytes; anything near this is not one, and
    // would fill the status box line by line.
    const QFileInfo info(fileName);
    if (info.size() > MaxFileSize)
        return host.dialogs().message(
            failureText(host, false, fileName,
                        pick(host, u"文件有%1字节，不是设置文件（最多1 MiB）",
                             u"The file has %1 bytes; a settings file has at most 1 MiB.")
                            .arg(info.size())));

    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray content = file.read(MaxFileSize);
        if (file.error() == QFileDevice::NoError) {
            const SettingsFile::LoadResult result =
                SettingsFile::load(content, host.lineBuffer(), context.parser, view, context.codec);
            // The lines read are in the box; say where and why it stopped.
            if (!result.complete())
                view.appendStatus(pick(host, u"在第%1行停止：不是有效的设置行",
                                       u"Stopped at line %1: not a valid settings line")
                                      .arg(result.stoppedAt) +
                                  QStringLiteral("\r\n"));
            else if (!result.foundSettings)
                view.appendStatus(
                    pick(host, u"文件中没有找到设置", u"No settings found in this file") +
                    QStringLiteral("\r\n"));
            return;
        }
    }
    host.dialogs().message(failureText(host, false, fileName, file.errorString()));
}

} // namespace telx5
