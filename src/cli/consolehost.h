#pragma once

#include "deviceview.h"
#include "host.h"
#include "receivechain.h"

#include <QHash>
#include <QStringList>

#include <optional>

namespace telx5 {

// Standard error carries the status lines and, on a terminal, one progress
// line redrawn in place. A status line first ends the progress line, so the
// two never run together. Control characters in them show as "\x1b" escapes.
void printLine(const QString &text);
void redrawLine(const QString &text);

// Writes a command's whole standard output and closes it, so that a full disk
// or a closed pipe is seen here rather than lost at exit. The reason when
// that failed. On a terminal, control characters show as "\x1b" escapes.
std::optional<QString> writeStandardOutput(QByteArrayView output);

// The status box on standard error: each line a session puts into the box is
// printed when it gets there, once, in order with the message boxes.
class EchoedRecord : public RecordView
{
public:
    void setStatusText(const QString &text) override;
    void appendStatus(const QString &text) override;
};

// The command-line tool's stand-in for the window: the settings live in a
// RecordView, the status and step boxes and the message boxes go to
// standard error, and the file dialogs answer with the file named on the
// command line. Its receive chain reads `link` in the language's code page.
class ConsoleHost : public SessionHost, private Dialogs
{
public:
    ConsoleHost(const QString &language, const QString &iniPath, SerialLink &link);

    // What the next file dialog answers.
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    // Empty, as at the start: no backups (the simulated device, --no-backup).
    void setBackupFolder(const QString &folder) { m_backupFolder = folder; }
    ReceiveChain &receiveChain() { return m_chain; }

    DeviceView &settings() override { return m_settings; }
    Flags &flags() override { return m_chain.flags(); }
    LineBuffer &lineBuffer() override { return m_chain.lineBuffer(); }
    Dialogs &dialogs() override { return *this; }
    QString language() const override { return m_language; }
    QString stepText() const override { return m_stepText; }
    void setStepText(const QString &text) override;
    // The command line has no buttons to caption.
    void setCaption(Button, const QString &) override {}
    bool isEnabled(Button button) const override { return m_enabled.value(button, true); }
    void setEnabled(Button button, bool enabled) override { m_enabled.insert(button, enabled); }
    QString portText() const override { return m_portText; }
    void setPortText(const QString &text) override { m_portText = text; }
    QString iniPath() const override { return m_iniPath; }
    QString backupFolder() const override { return m_backupFolder; }
    // Restart the device when the setup lines count: the reads around a
    // write or an update say so here too.
    bool showsReadsAside() const override { return true; }

private:
    void message(const QString &text, const QString &title) override;
    // No one at the console to ask: the answer is no, and what is asked
    // about (going on without a backup, say) does not happen.
    bool question(const QString &text, const QString &title) override;
    QString openFileName(const FileRequest &request) override;
    QString saveFileName(const FileRequest &request) override;

    EchoedRecord m_settings;
    ReceiveChain m_chain;
    QString m_language;
    QString m_iniPath;
    QString m_stepText;
    QString m_portText;
    QString m_fileName;
    QString m_backupFolder;
    QHash<Button, bool> m_enabled;
};

} // namespace telx5
