#include "jobs.h"

#include "backups.h"
#include "commands.h"
#include "delay.h"
#include "devicesettings.h"
#include "sessionsupport.h"
#include "settingsfile.h"
#include "settingstable.h"

#include <QScopeGuard>

namespace telx5 {

namespace {

using Result = JobEnd::Result;
using SessionSupport::SessionText;

constexpr int ConnectAttempts = 20;
constexpr int ConnectWaitMs = 1000;

} // namespace

QString describeHolds(DeviceHolds holds)
{
    switch (holds) {
    case DeviceHolds::Unchanged:
        return SessionText::tr("nothing was changed on the device");
    case DeviceHolds::PartOfNew:
        return SessionText::tr("the device may hold part of the new settings");
    case DeviceHolds::NewUnverified:
        return SessionText::tr("the device confirmed the new settings (freq save); they were not "
                               "read back");
    case DeviceHolds::New:
        return SessionText::tr("the device holds the new settings");
    case DeviceHolds::WifiUnconfirmed:
        return SessionText::tr("the device may have taken the new Wi-Fi credentials");
    case DeviceHolds::WifiTaken:
        return SessionText::tr("the device took the Wi-Fi credentials and restarts");
    case DeviceHolds::Restarting:
        return SessionText::tr("the device may be restarting");
    case DeviceHolds::FactorySettings:
        return SessionText::tr("the device may hold its factory settings (AT+RESET# went out)");
    case DeviceHolds::BootLoader:
        return SessionText::tr("the device waits in its boot loader with part of the new "
                               "firmware");
    case DeviceHolds::NewFirmware:
        return SessionText::tr("the device runs the new firmware with its factory settings");
    case DeviceHolds::PartOfKept:
        return SessionText::tr("the device runs the new firmware with part of its settings "
                               "written back");
    case DeviceHolds::StaticForNow:
        return SessionText::tr("the device runs the new firmware with its settings written "
                               "back, but on STATIC IP for now");
    case DeviceHolds::KeptUnverified:
        return SessionText::tr("the device runs the new firmware with its settings written back; "
                               "they were not read back");
    case DeviceHolds::Kept:
        return SessionText::tr("the device holds its settings as before");
    }
    return {};
}

DeviceJob::DeviceJob(SessionContext &context) : m_context(context) {}

DeviceJob::~DeviceJob()
{
    QObject::disconnect(m_firstSend);
}

void DeviceJob::stop()
{
    if (!m_running || m_stopping)
        return;
    m_stopping = true;
    stopWaits();
    stopped();
}

JobEnd DeviceJob::runJob(const std::function<JobEnd()> &body)
{
    m_running = true;
    m_stopping = false;
    resumeWaits();
    const auto done = qScopeGuard([this] {
        QObject::disconnect(m_firstSend);
        resumeWaits();
        m_context.host.holdStatus(false);
        m_running = false;
    });
    JobEnd ended = body();
    // A stop that came while the job was ending anyway is still the reason it
    // ended there, unless what was asked had happened.
    if (m_stopping && ended.result != Result::Done)
        ended.result = Result::Stopped;
    return ended;
}

void DeviceJob::enter(const JobPhase &phase)
{
    m_phase = phase;
    if (phaseEntered)
        phaseEntered(phase);
}

JobEnd DeviceJob::end(JobEnd::Result result, const QString &failure) const
{
    JobEnd ended;
    ended.result = m_stopping && result != Result::Done ? Result::Stopped : result;
    ended.phase = m_phase;
    ended.backup = m_backup;
    ended.failure = failure;
    return ended;
}

JobEnd DeviceJob::endAfter(const SessionOutcome &outcome, const QString &failure) const
{
    using Session = SessionOutcome::Result;
    switch (outcome.result) {
    case Session::Ok:
        return end(Result::Done);
    case Session::NotConfirmed:
        return end(Result::Failed, failure);
    case Session::Cancelled:
        return end(m_stopping ? Result::Stopped : Result::PortLost,
                   SessionText::tr("another command took the port"));
    case Session::PortLost:
        return end(Result::PortLost, SessionText::tr("the port was disconnected"));
    case Session::CouldNotOpen:
        return end(Result::CouldNotOpen, SessionText::tr("the port could not be opened"));
    }
    return end(Result::Failed, failure);
}

JobEnd DeviceJob::refuse(const QList<Problem> &refused) const
{
    QStringList why;
    for (const Problem &problem : refused)
        why.append(
            SessionText::tr("%1: %2").arg(SettingsTable::fieldName(problem.field), problem.text));
    JobEnd ended = end(Result::Refused, why.join(QStringLiteral("; ")));
    ended.refused = refused;
    return ended;
}

void DeviceJob::enterOnFirstSend(const JobPhase &phase)
{
    QObject::disconnect(m_firstSend);
    m_firstSend =
        QObject::connect(&m_context.port, &SerialLink::sent, &m_context.port, [this, phase] {
            QObject::disconnect(m_firstSend);
            enter(phase);
        });
}

QString incompleteRead(const SessionOutcome &read)
{
    if (read.result == SessionOutcome::Result::PortLost)
        return SessionText::tr("the port was disconnected");
    if (!read.ok())
        return SessionText::tr("the device did not send READ END");
    const QList<Setting> fileSettings = SettingsTable::fileSettings();
    const QList<Setting> missing = read.received.missing(fileSettings);
    if (missing.isEmpty())
        return {};
    QStringList names;
    for (Setting setting : missing)
        names.append(SettingsTable::fileKeyword(setting));
    return SessionText::tr("the device sent %1 of %2 settings; missing: %3")
        .arg(fileSettings.size() - missing.size())
        .arg(fileSettings.size())
        .arg(names.join(QStringLiteral(", ")));
}

DeviceBackup keepDeviceBackup(SessionContext &context, QLatin1StringView reason,
                              bool readEvenWithoutFolder)
{
    DeviceBackup backup;
    SessionHost &host = context.host;
    if (host.backupFolder().isEmpty() && !readEvenWithoutFolder)
        return backup;
    host.settings().appendStatusLine(SessionText::tr("Reading the device's settings for a backup"));
    backup.read = readAside(context);
    if (waitsStopped()) {
        backup.result = DeviceBackup::Result::Stopped;
        return backup;
    }
    backup.failure = incompleteRead(backup.read);
    if (!backup.failure.isEmpty()) {
        const bool goOn =
            backup.read.result != SessionOutcome::Result::CouldNotOpen &&
            host.dialogs().question(SessionText::tr("The device's settings could not be read for "
                                                    "a backup. Go on without one?"));
        backup.result = goOn ? DeviceBackup::Result::NotKept : DeviceBackup::Result::NotRead;
        if (!goOn && backup.read.result != SessionOutcome::Result::CouldNotOpen)
            host.settings().appendStatusLine(SessionText::tr("Nothing was sent to the device"));
        return backup;
    }
    if (host.backupFolder().isEmpty())
        return backup;
    const bool goOn = keepBackupBeforeChange(context, backup.read.received, reason, &backup.path);
    backup.result = !backup.path.isEmpty() ? DeviceBackup::Result::Kept
                    : goOn                 ? DeviceBackup::Result::NotKept
                                           : DeviceBackup::Result::NotSaved;
    if (!goOn)
        backup.failure = SessionText::tr("could not keep a backup");
    return backup;
}

SessionOutcome connectDevice(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;
    Flags &flags = host.flags();
    DeviceView &view = host.settings();
    flags.connectOk = false;
    if (!SessionSupport::openPort(host, port))
        return SessionSupport::ended(SessionOutcome::Result::CouldNotOpen);
    SessionSupport::normalisePortText(host);

    const QByteArray setupLine = context.codec.encode(Commands::connect());
    const int waitMs = std::max(1, qRound(ConnectWaitMs * delayTimeScale()));
    for (int attempt = 1; attempt <= ConnectAttempts && !flags.connectOk && !waitsStopped();
         ++attempt) {
        view.setStatusText(QStringLiteral("Please restart TELX5......Connection %1/%2Times......")
                               .arg(attempt)
                               .arg(ConnectAttempts));
        if (!port.send(setupLine))
            break;
        // The answer ends the wait as soon as it is in: the next lines need
        // not wait out the second.
        waitUntil([&] { return flags.connectOk || !port.isOpen(); }, waitMs);
    }
    // The sessions take the port afresh; one left open would cancel them.
    const bool lost = port.wasDisconnected();
    const bool taken = !lost && !port.isOpen();
    port.close();
    using Session = SessionOutcome::Result;
    if (flags.connectOk) {
        view.appendStatusLine(SessionText::tr("Connection is successful"));
        return SessionSupport::ended(Session::Ok);
    }
    if (lost) {
        SessionSupport::reportLoss(host, port);
        return SessionSupport::ended(Session::PortLost, QStringLiteral("CONNECT"));
    }
    return SessionSupport::ended(waitsStopped() || taken ? Session::Cancelled
                                                         : Session::NotConfirmed,
                                 QStringLiteral("CONNECT"));
}

JobEnd WriteJob::run(const Request &request)
{
    return runJob([this, &request] {
        SessionHost &host = m_context.host;
        const SettingsRecord settings = host.settings().record();
        // Nothing goes out, not even the backup read's lines, for values the
        // device would take otherwise than meant.
        if (const QList<Problem> refused = Checks::refusals(
                Checks::problems(settings, Checks::Scope::FileSettings, m_context.codec),
                request.allowance);
            !refused.isEmpty())
            return refuse(refused);
        const bool readFirst =
            request.backupFirst && (!host.backupFolder().isEmpty() || request.deviceRead);
        if (readFirst) {
            enter(BackupRead);
            m_deviceBackup = keepDeviceBackup(m_context, Backups::BeforeWrite,
                                              static_cast<bool>(request.deviceRead));
            setBackup(m_deviceBackup.path);
            if (m_deviceBackup.result == DeviceBackup::Result::Stopped)
                return end(Result::Stopped);
            if (m_deviceBackup.read.result == SessionOutcome::Result::CouldNotOpen)
                return end(Result::CouldNotOpen, SessionText::tr("the port could not be opened"));
            if (!m_deviceBackup.goOn())
                return end(Result::Refused, m_deviceBackup.failure);
            if (request.deviceRead && m_deviceBackup.failure.isEmpty() &&
                !request.deviceRead(m_deviceBackup.read.received))
                return end(Result::Refused);
        } else if (request.connectFirst) {
            enter(SetupLine);
            const SessionOutcome connected = connectDevice(m_context);
            if (!connected.ok())
                return endAfter(connected,
                                SessionText::tr("the device did not answer the setup line"));
        }
        if (stopping())
            return end(Result::Stopped);

        // The write is the host's own: its status box says "Writing......",
        // under the backup's line.
        if (!backup().isEmpty())
            host.holdStatus(true);
        host.settings().record() = settings;
        enter(Opening);
        enterOnFirstSend(Lines);
        m_written = writeSettings(m_context);
        if (!m_written.ok())
            return endAfter(m_written,
                            SessionText::tr("the device did not confirm (no freq save)"));
        if (!request.verify) {
            enter(Confirmed);
            return end(Result::Done);
        }
        enter(ReadBack);
        if (stopping())
            return end(Result::Stopped);
        m_verification = verifyWrite(m_context, settings);
        if (!m_verification.readBack.ok())
            return endAfter(m_verification.readBack,
                            SessionText::tr("the read-back did not complete"));
        if (!m_verification.untaken.isEmpty()) {
            JobEnd failed = end(Result::Failed, SessionText::tr("settings did not take"));
            failed.differing = m_verification.untaken;
            return failed;
        }
        enter(Written);
        return end(Result::Done);
    });
}

JobEnd WifiJob::run(bool connectFirst, Allowance allowance)
{
    return runJob([this, connectFirst, allowance] {
        QList<Problem> credentials = Checks::problems(m_context.host.settings().record(),
                                                      Checks::Scope::WithWifi, m_context.codec);
        credentials.removeIf([](const Problem &problem) {
            return problem.field != Field::WifiSsid && problem.field != Field::WifiPass;
        });
        if (const QList<Problem> refused = Checks::refusals(credentials, allowance);
            !refused.isEmpty())
            return refuse(refused);
        if (connectFirst) {
            enter(SetupLine);
            const SessionOutcome connected = connectDevice(m_context);
            if (!connected.ok())
                return endAfter(connected,
                                SessionText::tr("the device did not answer the setup line"));
        }
        enter(Opening);
        enterOnFirstSend(Credentials);
        m_outcome = applyWifi(m_context);
        if (m_outcome.confirmed)
            enter(Taken);
        if (m_outcome.confirmed && !m_outcome.ok())
            return end(Result::PortLost, SessionText::tr("REBOOT# could not be sent"));
        return endAfter(m_outcome,
                        SessionText::tr("the device did not confirm (no WIFI Write success)"));
    });
}

JobEnd RestartJob::run()
{
    return runJob([this] {
        enter(Opening);
        enterOnFirstSend(Rebooting);
        return endAfter(restartDevice(m_context), SessionText::tr("REBOOT# could not be sent"));
    });
}

Restoration restoreKeptSettings(SessionContext &context, const SettingsRecord &kept,
                                const std::function<void(const char *step)> &phase)
{
    Restoration restoration;
    const bool dhcp = !WireCodes::isStaticAddressing(kept.text(Field::Dhcp));
    // Under DHCP the device still reports addresses of its own; a write that
    // sends only "AT+DHCP,1#" would leave the factory ones.
    SettingsRecord asStatic = kept;
    if (dhcp)
        asStatic.setText(Field::Dhcp, DeviceSettings::StaticIp);
    phase("write-back");
    restoration.written = writeAside(context, asStatic);
    if (!restoration.written.ok())
        return restoration;
    if (dhcp) {
        phase("dhcp");
        // "freq save" confirms the frequency line only: it follows the DHCP
        // line, as it follows every write.
        QList<Commands::WriteStep> plan;
        for (Setting setting : {Setting::Dhcp, Setting::Freq})
            plan.append({Commands::settingLine(setting, kept), {200}});
        plan.last().waitsMs = {};
        restoration.dhcpAgain = writeAside(context, kept, plan);
        if (!restoration.dhcpAgain.ok()) {
            restoration.written = restoration.dhcpAgain;
            return restoration;
        }
    }
    phase("read-back");
    restoration.verification = verifyWrite(context, kept, Comparison::EveryAddress);
    return restoration;
}

} // namespace telx5
