#include "filedialogmemory.h"

#include "portsettingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace telx5 {

namespace {

// A section of its own: "XRVComm" keeps the keys the port memory has always had.
const QString Section = QStringLiteral("Files");
const QString FolderKey = QStringLiteral("LastFolder");

QString recentKey(int index)
{
    return QStringLiteral("Recent%1").arg(index + 1);
}

} // namespace

FileDialogMemory::FileDialogMemory(Dialogs &dialogs, const QString &iniPath,
                                   const QString &programFolder)
    : m_dialogs(dialogs), m_iniPath(iniPath), m_programFolder(programFolder)
{
    if (m_iniPath.isEmpty())
        return;
    m_folder = PortSettingsStore::readValue(Section, FolderKey, m_iniPath);
    for (int index = 0; index < RecentCount; ++index) {
        const QString file = PortSettingsStore::readValue(Section, recentKey(index), m_iniPath);
        if (!file.isEmpty())
            m_recent.append(file);
    }
}

void FileDialogMemory::message(const QString &text, const QString &title)
{
    m_dialogs.message(text, title);
}

bool FileDialogMemory::question(const QString &text, const QString &title)
{
    return m_dialogs.question(text, title);
}

QString FileDialogMemory::openFileName(const FileRequest &request)
{
    return choose(request, false);
}

QString FileDialogMemory::saveFileName(const FileRequest &request)
{
    return choose(request, true);
}

// An installed program's folder is no place for the user's files, and the
// user could not save there anyway.
QString FileDialogMemory::startFolder() const
{
    if (!m_folder.isEmpty() && QFileInfo(m_folder).isDir())
        return m_folder;
    if (PortSettingsStore::isUserFolder(m_programFolder))
        return m_programFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

void FileDialogMemory::addRecentFile(const QString &fileName)
{
    const QString file = QFileInfo(fileName).absoluteFilePath();
    m_recent.removeAll(file);
    m_recent.prepend(file);
    while (m_recent.size() > RecentCount)
        m_recent.removeLast();
    for (int index = 0; index < RecentCount; ++index)
        store(recentKey(index), m_recent.value(index));
}

QString FileDialogMemory::choose(FileRequest request, bool save)
{
    request.directory = startFolder();
    m_lastChosen = save ? m_dialogs.saveFileName(request) : m_dialogs.openFileName(request);
    if (!m_lastChosen.isEmpty()) {
        m_folder = QFileInfo(m_lastChosen).absolutePath();
        store(FolderKey, m_folder);
    }
    return m_lastChosen;
}

// A name too long to be read back whole is kept until the program ends only.
void FileDialogMemory::store(const QString &key, const QString &value) const
{
    if (m_iniPath.isEmpty())
        return;
    PortSettingsStore::writeValue(
        Section, key, value.size() <= PortSettingsStore::MaxValueLength ? value : QString(),
        m_iniPath);
}

} // namespace telx5
