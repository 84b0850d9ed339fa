#pragma once

#include "jobs.h"
#include "updatejournal.h"

#include <QString>

#include <optional>

namespace telx5 {

class FirmwareUpdate;

// A firmware update as one job: the settings read and kept, "AT+RESET#"
// (which erases them), "REBOOT#", the boot loader, the blocks, the new
// firmware reached with the setup line, the settings written back and read
// back. From "AT+RESET#" on it keeps a journal (UpdateJournal) before each
// step, and every ending has a way back: the settings written back where the
// device answers again, or recover(), which carries the update on from where
// the journal says the device stands.
class UpdateJob final : public DeviceJob
{
public:
    // `update` holds the image; `journalFolder` empty keeps no journal (the
    // simulated device, which goes with the program).
    UpdateJob(SessionContext &context, FirmwareUpdate &update, const QString &journalFolder);
    ~UpdateJob() override;

    struct Request
    {
        // The image's file, to be read again by recover; empty when it came
        // through a pipe.
        QString imagePath;
        // Write the settings back once the new firmware runs. Without it
        // the settings are still read and kept, when the device answers.
        bool keepSettings = true;
    };
    JobEnd run(const Request &request);

    struct RecoverRequest
    {
        // The image given again; otherwise the journal's file, once its
        // SHA-256 has been checked.
        QString imagePath;
        // The settings to write back instead of the journal's backup.
        QString backupFile;
        // The device was powered off and on since: the update starts again
        // from the setup line, even without a journal.
        bool fromStart = false;
    };
    JobEnd recover(const RecoverRequest &request);

    // The journal of an update on the host's port that stopped after
    // "AT+RESET#", if any.
    std::optional<UpdateJournal> interruptedUpdate(QString *error = nullptr) const;

    // The settings read before the update (or the backup recover writes
    // back), when there are any.
    const std::optional<SettingsRecord> &kept() const { return m_kept; }
    // The loader never answered: the device still runs its old firmware, and
    // the settings the reset erased were written back to it.
    bool oldFirmwareRuns() const { return m_oldFirmwareRuns; }
    // ...and every one of them reads back as it was.
    bool restoredAfterFailure() const { return m_restoredAfterFailure; }
    // The boot loader took the last block.
    bool transferCompleted() const { return m_transferCompleted; }

    static constexpr JobPhase Read{"read", DeviceHolds::Unchanged, WayBack::None};
    static constexpr JobPhase Reset{"reset", DeviceHolds::FactorySettings, WayBack::Recover};
    static constexpr JobPhase Boot{"boot", DeviceHolds::FactorySettings, WayBack::Recover};
    static constexpr JobPhase Blocks{"blocks", DeviceHolds::BootLoader, WayBack::Recover};
    static constexpr JobPhase Reconnect{"reconnect", DeviceHolds::NewFirmware, WayBack::Recover};
    static constexpr JobPhase WriteBack{"write-back", DeviceHolds::PartOfKept, WayBack::Recover};
    static constexpr JobPhase Dhcp{"dhcp", DeviceHolds::StaticForNow, WayBack::Recover};
    static constexpr JobPhase ReadBack{"read-back", DeviceHolds::KeptUnverified, WayBack::Recover};
    static constexpr JobPhase Restored{"restored", DeviceHolds::Kept, WayBack::None};
    // The image is in and no settings were to be written back.
    static constexpr JobPhase Flashed{"flashed", DeviceHolds::NewFirmware, WayBack::None};

private:
    enum class Transfer
    {
        FromSetupLine, // "AT+RESET#", "REBOOT#", the loader's probe
        FromProbe,     // the settings are gone: the loader is probed
        Resume,        // the loader waits in the middle of the image
    };

    void stopped() override;
    // Nothing of an earlier run carries over; the job starts reading.
    void begin();
    // Checks that `kept` can be written back as it is; why not, when not.
    QString unwritable(const SettingsRecord &kept) const;
    // The transfer, from its start to the finished outcome; the phases and
    // the journal follow it.
    JobEnd transfer(Transfer how, int block = 0, int bytesSent = 0);
    // After the last block: the new firmware reached and the settings
    // written back and verified.
    JobEnd writeBack();
    // After a transfer that did not end well: the kept settings written back
    // where the device answers the setup line again.
    JobEnd failedTransfer(const QString &why);
    void enterAndNote(const JobPhase &phase);
    void note();
    void forgetJournal();
    QString journalPath() const;
    JobEnd withWayBack(JobEnd ended) const;

    FirmwareUpdate &m_update;
    QString m_journalFolder;
    UpdateJournal m_journal;
    bool m_journalling = false;
    bool m_journalFailed = false;
    std::optional<SettingsRecord> m_kept;
    Restoration m_restoration;
    bool m_oldFirmwareRuns = false;
    bool m_restoredAfterFailure = false;
    bool m_transferCompleted = false;
    // recover: a loader that does not answer the probe has let the device
    // start its firmware again, and the update starts again from the setup
    // line.
    bool m_setupLineAfterProbe = false;
};

} // namespace telx5
