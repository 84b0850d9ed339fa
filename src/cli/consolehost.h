#pragma once

#include "host.h"
#include "receivechain.h"
#include "settingsrecord.h"

#include <QHash>
#include <QSet>
#include <QStringList>

namespace telx5 {

// Standard error carries the status lines and, on a terminal, one progress
// line redrawn in place. A status line first ends the progress line, so the
// two never run together.
void printLine(const QString &text);
void redrawLine(const QString &text);

// The status box on standard error: each line a session puts into the box is
// printed when it gets there, once, in order with the message boxes.
class EchoedRecord : public SettingsRecord
{
public:
    void setStatusText(const QString &text) override;
    void appendStatus(const QString &text) override;
};

// The line parser's view of the record: the record itself, keeping count of
// the fields that the device's lines have set.
class CountingView : public DeviceView
{
public:
    explicit CountingView(DeviceView &view) : m_view(view) {}

    void resetCount() { m_set.clear(); }
    qsizetype count() const { return m_set.size(); }

    QString text(Field field) const override { return m_view.text(field); }
    void setText(Field field, const QString &value) override;
    bool octetBoxesEnabled() const override { return m_view.octetBoxesEnabled(); }
    void setOctetBoxesEnabled(bool enabled) override { m_view.setOctetBoxesEnabled(enabled); }
    QString statusText() const override { return m_view.statusText(); }
    void setStatusText(const QString &text) override { m_view.setStatusText(text); }
    void appendStatus(const QString &text) override { m_view.appendStatus(text); }

private:
    DeviceView &m_view;
    QSet<Field> m_set;
};

// The command-line tool's stand-in for the window: the settings live in a
// SettingsRecord, the status and step boxes and the message boxes go to
// standard error, and the file dialogs answer with the file named on the
// command line. Its receive chain reads `link` in the language's code page.
class ConsoleHost : public SessionHost, private Dialogs
{
public:
    ConsoleHost(const QString &language, const QString &iniPath, SerialLink &link);

    // What the next file dialog answers.
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    // Every message box shown so far.
    const QStringList &messages() const { return m_messages; }
    // For the line parser: the settings, counting what the device sets.
    CountingView &parserView() { return m_parserView; }
    ReceiveChain &receiveChain() { return m_chain; }

    DeviceView &settings() override { return m_settings; }
    Flags &flags() override { return m_chain.flags(); }
    LineBuffer &lineBuffer() override { return m_chain.lineBuffer(); }
    Dialogs &dialogs() override { return *this; }
    QString language() const override { return m_language; }
    QString stepText() const override { return m_stepText; }
    void setStepText(const QString &text) override;
    QString caption(Button button) const override { return m_captions.value(button); }
    void setCaption(Button button, const QString &caption) override;
    bool isEnabled(Button button) const override { return m_enabled.value(button, true); }
    void setEnabled(Button button, bool enabled) override { m_enabled.insert(button, enabled); }
    QString portText() const override { return m_portText; }
    void setPortText(const QString &text) override { m_portText = text; }
    QString iniPath() const override { return m_iniPath; }

private:
    void message(const QString &text, const QString &title) override;
    QString openFileName(const FileRequest &request) override;
    QString saveFileName(const FileRequest &request) override;

    EchoedRecord m_settings;
    CountingView m_parserView{m_settings};
    ReceiveChain m_chain;
    QString m_language;
    QString m_iniPath;
    QString m_stepText;
    QString m_portText;
    QString m_fileName;
    QStringList m_messages;
    QHash<Button, QString> m_captions;
    QHash<Button, bool> m_enabled;
};

} // namespace telx5
