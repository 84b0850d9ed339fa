#include "filecommands.h"

#include "settingsfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace telx5 {

namespace {

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

} // namespace

void saveSettingsFile(SessionContext &context)
{
    SessionHost &host = context.host;
    const QString fileName = host.dialogs().saveFileName(
        fileRequest(QStringLiteral("Save"), QStringLiteral("setup file(*.ini)"), true));
    if (fileName.isEmpty())
        return;

    // Written aside and renamed over the old file only when complete, so a
    // full disk or a locked file never leaves a half-written settings file.
    const QByteArray content = SettingsFile::save(host.settings(), context.codec);
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return;
    host.dialogs().message(failureText(host, true, fileName, file.errorString()));
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

    QFile file(fileName);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray content = file.readAll();
        if (file.error() == QFileDevice::NoError) {
            SettingsFile::load(content, host.lineBuffer(), context.parser, view, context.codec);
            return;
        }
    }
    host.dialogs().message(failureText(host, false, fileName, file.errorString()));
}

} // namespace telx5
