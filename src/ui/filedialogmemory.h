#pragma once

#include "host.h"

#include <QStringList>

namespace telx5 {

// The window's boxes and file dialogs, with a memory: every file dialog
// (settings files and firmware images alike) starts in the folder where the
// user last chose a file, and the settings files last loaded or saved are
// kept for the File menu. Both are kept in the port memory's file beside the
// port; without that file (a simulated device) only until the program ends.
class FileDialogMemory final : public Dialogs
{
public:
    // How many settings files the File menu offers again.
    static constexpr int RecentCount = 5;

    // `programFolder` is where a first dialog starts, unless it is a system
    // folder or not writable.
    FileDialogMemory(Dialogs &dialogs, const QString &iniPath, const QString &programFolder);

    void message(const QString &text, const QString &title = {}) override;
    bool question(const QString &text, const QString &title = {}) override;
    QString openFileName(const FileRequest &request) override;
    QString saveFileName(const FileRequest &request) override;

    QString startFolder() const;
    // The file chosen in the last dialog; empty when it was cancelled.
    QString lastChosen() const { return m_lastChosen; }

    // Newest first.
    QStringList recentFiles() const { return m_recent; }
    void addRecentFile(const QString &fileName);

private:
    QString choose(FileRequest request, bool save);
    void store(const QString &key, const QString &value) const;

    Dialogs &m_dialogs;
    QString m_iniPath;
    QString m_programFolder;
    QString m_folder;
    QStringList m_recent;
    QString m_lastChosen;
};

} // namespace telx5
