#include "sessions.h"

#include "settingsfile.h"

namespace telx5 {

namespace {

// The aside read's own status box, also shown in the host's where the host
// shows reads aside.
class AsideView final : public RecordView
{
public:
    explicit AsideView(DeviceView *shown) : m_shown(shown) {}

    void setStatusText(const QString &text) override
    {
        RecordView::setStatusText(text);
        if (m_shown)
            m_shown->setStatusText(text);
    }
    void appendStatus(const QString &text) override
    {
        RecordView::appendStatus(text);
        if (m_shown)
            m_shown->appendStatus(text);
    }

private:
    DeviceView *m_shown;
};

// The window as a read around a write sees it: the port, the language and
// the state the commands share are the window's; the settings, the status
// and step boxes, the captions and the message boxes are the read's own.
class AsideHost final : public SessionHost, private Dialogs
{
public:
    explicit AsideHost(SessionHost &host)
        : m_host(host), m_view(host.showsReadsAside() ? &host.settings() : nullptr)
    {}

    DeviceView &settings() override { return m_view; }
    Flags &flags() override { return m_host.flags(); }
    LineBuffer &lineBuffer() override { return m_host.lineBuffer(); }
    Dialogs &dialogs() override { return *this; }
    QString language() const override { return m_host.language(); }
    QString stepText() const override { return m_stepText; }
    void setStepText(const QString &text) override
    {
        m_stepText = text;
        if (m_host.showsReadsAside())
            m_host.setStepText(text);
    }
    void setCaption(Button, const QString &) override {}
    bool isEnabled(Button button) const override { return m_host.isEnabled(button); }
    void setEnabled(Button, bool) override {}
    QString portText() const override { return m_host.portText(); }
    void setPortText(const QString &text) override { m_host.setPortText(text); }
    QString iniPath() const override { return m_host.iniPath(); }
    // What is read aside is backed up, or not, by the command around it.
    QString backupFolder() const override { return {}; }
    // A press in the window cancels this read as it would the window's own.
    SessionState &state() override { return m_host.state(); }
    bool showsReadsAside() const override { return m_host.showsReadsAside(); }

private:
    // The outcome says why a read aside failed.
    void message(const QString &, const QString &) override {}
    // A read asks nothing.
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const FileRequest &) override { return {}; }
    QString saveFileName(const FileRequest &) override { return {}; }

    SessionHost &m_host;
    AsideView m_view;
    QString m_stepText;
};

} // namespace

namespace {

// Runs `session` on a host of its own whose record starts as `record`; the
// parser fills that record meanwhile.
template <typename Session>
SessionOutcome runAside(SessionContext &context, const SettingsRecord &record, Session session)
{
    AsideHost aside(context.host);
    aside.settings().record() = record;
    DeviceView &windowView = context.parser.view();
    context.parser.setView(aside.settings());
    SessionContext asideContext{aside, context.port, context.codec, context.parser};
    const SessionOutcome outcome = session(asideContext);
    context.parser.setView(windowView);
    return outcome;
}

} // namespace

SessionOutcome readAside(SessionContext &context)
{
    return runAside(context, SettingsRecord(), &readSettings);
}

SessionOutcome writeAside(SessionContext &context, const SettingsRecord &record,
                          const std::optional<QList<Commands::WriteStep>> &plan)
{
    if (!plan)
        return runAside(context, record, &writeSettings);
    return runAside(context, record,
                    [&plan](SessionContext &aside) { return writeSteps(aside, *plan); });
}

Verification verifyWrite(SessionContext &context, const SettingsRecord &written,
                         Comparison comparison)
{
    Verification verification;
    verification.readBack = readAside(context);
    if (verification.readBack.ok())
        verification.untaken = SettingsFile::differences(written, verification.readBack.received,
                                                         comparison == Comparison::EveryAddress);
    return verification;
}

} // namespace telx5
