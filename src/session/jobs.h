#pragma once

#include "checks.h"
#include "host.h"
#include "sessions.h"

#include <QList>
#include <QMetaObject>
#include <QString>

#include <functional>
#include <string_view>

namespace telx5 {

// What a device may hold when a job ends where it stands.
enum class DeviceHolds
{
    Unchanged,       // nothing that changes it has been sent
    PartOfNew,       // some of the new settings' lines have gone out
    NewUnverified,   // it confirmed the new settings; they were not read back
    New,             // the new settings, read back as written
    WifiUnconfirmed, // the Wi-Fi credentials have gone out, not confirmed
    WifiTaken,       // it confirmed the Wi-Fi credentials and restarts
    Restarting,      // "REBOOT#" has gone out
    FactorySettings, // "AT+RESET#" has gone out: its settings may be the factory ones
    BootLoader,      // it waits in its boot loader, without the whole image
    NewFirmware,     // the new firmware, with its factory settings
    PartOfKept,      // the new firmware, with part of its settings written back
    StaticForNow,    // its settings written back, but on STATIC IP until DHCP is set again
    KeptUnverified,  // its settings written back and confirmed, not read back
    Kept,            // its settings written back and read back as they were
};

// What the device may hold, in words for a last line or a status line:
// "the device may hold part of the new settings".
QString describeHolds(DeviceHolds holds);

// The one way back from where a job ends.
enum class WayBack
{
    None,        // nothing to undo
    WriteBackup, // write the backup kept before the job
    Recover,     // finish the interrupted update, which writes the backup back
};

// A step of a job, named as the journal, the tests and the front ends name
// it, with what the device holds when the job ends in it and the way back.
struct JobPhase
{
    const char *name;
    DeviceHolds holds;
    WayBack wayBack;

    friend bool operator==(const JobPhase &a, const JobPhase &b)
    {
        return a.name && b.name && std::string_view(a.name) == std::string_view(b.name);
    }
};

// How a job ended, for the window and the command line to show each in its
// own way.
struct JobEnd
{
    enum class Result
    {
        Done,         // what was asked of the device happened, and is confirmed
        Failed,       // the device did not confirm, or read back otherwise
        Stopped,      // a signal or the window's close button stopped the job
        PortLost,     // the port went away, or another command took it
        CouldNotOpen, // the port did not open; nothing was sent
        Refused,      // the job stopped itself before changing the device
    };

    Result result = Result::Done;
    JobPhase phase{};
    // The settings the device held before the job; empty when none was kept.
    QString backup;
    // Why it failed or was refused, in words for the last line.
    QString failure;
    // The settings that did not take (a write, a restore), or that differ
    // after an update from those read before it.
    QList<Setting> differing;
    // The values the gate kept from the device (refused before anything was
    // sent), with why.
    QList<Problem> refused;

    bool done() const { return result == Result::Done; }
};

// A change to a device (a write, the Wi-Fi credentials, a restart, an update,
// the settings written back after one) as one object that both front ends
// run and only render. It moves through named phases; for each it knows what
// the device holds if the job ends there and the way back. A signal or the
// window's close button calls stop(); a pulled cable reaches the job through
// its sessions. Either ends the job from its phase.
class DeviceJob
{
public:
    explicit DeviceJob(SessionContext &context);
    virtual ~DeviceJob();
    DeviceJob(const DeviceJob &) = delete;
    DeviceJob &operator=(const DeviceJob &) = delete;

    // The job ends after the line or frame on the wire; every wait returns at
    // once. Also between two phases.
    void stop();
    bool stopping() const { return m_stopping; }
    const JobPhase &phase() const { return m_phase; }
    // The backup of what the device held before the job, once kept.
    const QString &backup() const { return m_backup; }

    // Hears every phase the job enters.
    std::function<void(const JobPhase &)> phaseEntered;

protected:
    // Runs `body` as the job, with stops from now until it returns.
    JobEnd runJob(const std::function<JobEnd()> &body);
    void enter(const JobPhase &phase);
    // The end in the current phase; a stop, a lost or taken port and a port
    // that did not open are told apart from `result` by the outcome.
    JobEnd end(JobEnd::Result result, const QString &failure = {}) const;
    JobEnd endAfter(const SessionOutcome &outcome, const QString &failure) const;
    // Refused at the gate, before anything is sent: the values named, with
    // why.
    JobEnd refuse(const QList<Problem> &refused) const;
    // Enters `phase` when the first byte goes out from now on.
    void enterOnFirstSend(const JobPhase &phase);
    void setBackup(const QString &path) { m_backup = path; }
    virtual void stopped() {}

    SessionContext &m_context;

private:
    JobPhase m_phase{};
    QString m_backup;
    bool m_stopping = false;
    bool m_running = false;
    QMetaObject::Connection m_firstSend;
};

// The backup of what the device holds, read aside before a change. Whether
// the change may go on; `backup` is where it went.
struct DeviceBackup
{
    enum class Result
    {
        Kept,
        NotKept,  // the host keeps no backups, or the user chose to go on without
        NotRead,  // the read did not complete, and the user did not go on
        NotSaved, // the file could not be saved, and the user did not go on
        Stopped,
    };
    Result result = Result::NotKept;
    SessionOutcome read;
    QString path;
    QString failure;

    bool goOn() const { return result == Result::Kept || result == Result::NotKept; }
};

// Write data, as one job: the device's settings read and kept, the lines of
// the settings in the host's record, "freq save", then the read-back.
class WriteJob final : public DeviceJob
{
public:
    struct Request
    {
        // Read the device and keep a backup first (where the host keeps
        // backups, or `deviceRead` wants what it holds).
        bool backupFirst = true;
        // Without a backup read: the setup line first, for a device that has
        // to be restarted into setup mode.
        bool connectFirst = false;
        bool verify = true;
        // What the user allowed to go out (text that becomes '?', --strict).
        Allowance allowance;
        // Hears what the backup read received; false refuses the write (a
        // file of its own that could not be saved).
        std::function<bool(const SettingsRecord &device)> deviceRead;
    };

    using DeviceJob::DeviceJob;
    JobEnd run(const Request &request);

    const SessionOutcome &written() const { return m_written; }
    const Verification &verification() const { return m_verification; }
    const DeviceBackup &deviceBackup() const { return m_deviceBackup; }

    static constexpr JobPhase SetupLine{"setup-line", DeviceHolds::Unchanged, WayBack::None};
    static constexpr JobPhase BackupRead{"backup-read", DeviceHolds::Unchanged, WayBack::None};
    // The write's port is being opened: nothing of it has gone out.
    static constexpr JobPhase Opening{"opening", DeviceHolds::Unchanged, WayBack::None};
    static constexpr JobPhase Lines{"lines", DeviceHolds::PartOfNew, WayBack::WriteBackup};
    static constexpr JobPhase ReadBack{"read-back", DeviceHolds::NewUnverified,
                                       WayBack::WriteBackup};
    static constexpr JobPhase Confirmed{"confirmed", DeviceHolds::NewUnverified, WayBack::None};
    static constexpr JobPhase Written{"written", DeviceHolds::New, WayBack::None};

private:
    SessionOutcome m_written;
    Verification m_verification;
    DeviceBackup m_deviceBackup;
};

// Apply: the Wi-Fi credentials in the host's boxes, and the restart that
// follows their confirmation.
class WifiJob final : public DeviceJob
{
public:
    using DeviceJob::DeviceJob;
    JobEnd run(bool connectFirst, Allowance allowance = {});
    const SessionOutcome &outcome() const { return m_outcome; }

    static constexpr JobPhase SetupLine{"setup-line", DeviceHolds::Unchanged, WayBack::None};
    static constexpr JobPhase Opening{"opening", DeviceHolds::Unchanged, WayBack::None};
    static constexpr JobPhase Credentials{"credentials", DeviceHolds::WifiUnconfirmed,
                                          WayBack::None};
    static constexpr JobPhase Taken{"taken", DeviceHolds::WifiTaken, WayBack::None};

private:
    SessionOutcome m_outcome;
};

// restart: "REBOOT#" twice.
class RestartJob final : public DeviceJob
{
public:
    using DeviceJob::DeviceJob;
    JobEnd run();

    static constexpr JobPhase Opening{"opening", DeviceHolds::Unchanged, WayBack::None};
    static constexpr JobPhase Rebooting{"reboot", DeviceHolds::Restarting, WayBack::None};
};

// Before a change: the device read aside, and its settings kept where the
// host keeps backups. A device whose settings cannot be read whole, or a
// backup that cannot be saved, is the user's to decide (the window asks; the
// command line answers no).
DeviceBackup keepDeviceBackup(SessionContext &context, QLatin1StringView reason,
                              bool readEvenWithoutFolder);

// A read whose settings are whole: "READ END" and every setting a settings
// file holds. Why not, in words, when not.
QString incompleteRead(const SessionOutcome &read);

// The settings kept across an update written back to a device that lost
// them: its addresses as it reported them, also under DHCP (written as STATIC
// IP, then DHCP set again and confirmed), then read back and compared in all
// 19 settings. `phase` hears the steps: "write-back", "dhcp", "read-back".
struct Restoration
{
    SessionOutcome written;
    SessionOutcome dhcpAgain;
    Verification verification;

    bool restored() const
    {
        return written.ok() && verification.readBack.ok() && verification.untaken.isEmpty();
    }
};
Restoration restoreKeptSettings(SessionContext &context, const SettingsRecord &kept,
                                const std::function<void(const char *step)> &phase);

} // namespace telx5
