#pragma once

#include "host.h"
#include "jobs.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <optional>

namespace telx5 {

class ConsoleHost;
class SerialLink;
class HexLog;
class UpdateJob;

// How telx5-cli ends.
enum CliExit
{
    ExitConfirmed = 0,       // the device confirmed
    ExitFailed = 1,          // it did not, the link failed, or a file could not be saved
    ExitBadInput = 2,        // a usage error, or input refused before anything was sent
    ExitPortUnavailable = 3, // the port could not be opened
    ExitReadFailed = 4,      // diff: the device's settings could not be read whole
    // Stopped by a signal, plus its number: 129 SIGHUP, 130 Ctrl-C, 143 SIGTERM.
    ExitSignalBase = 128,
};

// Prints the line that ends every command, the outcome in words, and returns
// the exit status.
int finish(int exitCode, const QString &outcome);

// What `write` is asked to do.
struct WriteRequest
{
    QString fileName;
    // Where the device's settings are saved before anything is written;
    // empty for no backup.
    QString backupFileName;
    bool connectFirst = true;
    // Read back and compared after the device confirmed: on unless asked off.
    bool verify = true;
    bool lossy = false;
    // KEY=VALUE, each put into the file's settings for this device only.
    QStringList assignments;
    // An error the checks find refuses the write.
    bool strict = false;
};

// What `recover` is asked to do.
struct RecoverRequest
{
    // The image given again; empty: the journal's file.
    QString imageFileName;
    // The settings to write back instead of the journal's backup.
    QString backupFileName;
    // The device was powered off and on since: the update starts again.
    bool fromStart = false;
};

// The commands of telx5-cli: the window's sessions and jobs on the console
// host, each judging its input before anything is sent and ending with one
// line that says how it went.
class DeviceCommands
{
public:
    // `journalFolder`: where updates keep their journals; empty: none (the
    // simulated device).
    DeviceCommands(ConsoleHost &host, SerialLink &port, HexLog &hexLog, SessionContext &context,
                   const QString &journalFolder = {});
    ~DeviceCommands();

    // read, check and diff print one JSON document instead of their lines.
    void setJson(bool json) { m_json = json; }

    int read(const QString &fileName, bool partial);
    int write(const WriteRequest &request);
    int saveDefaults(const QString &fileName);
    // Judges a settings file's values; needs no device.
    int check(const QString &fileName);
    // Reads the device and names each setting in which it differs from the
    // file.
    int diff(const QString &fileName);
    // The backups of one device in `folder`, oldest first, each with the
    // settings that changed since the one before it; without a callsign, the
    // device on the port is read first and its own are listed.
    int history(const QString &folder, const QString &callsign);
    int wifi(const QString &ssid, const QString &password, bool connectFirst, bool strict);
    int restart();
    // The settings are read first and kept; unless `keepSettings` is off they
    // are written back, verified, once the new firmware runs.
    int flash(const QString &imageFileName, bool keepSettings);
    // Carries an update that stopped after "AT+RESET#" on from where its
    // journal says the device stands.
    int recover(const RecoverRequest &request);
    // Ctrl-C, SIGTERM or SIGHUP: the running command stops after the line or
    // frame on the wire and ends with a line that says what the device may
    // hold (a first Ctrl-C during the blocks of an update only warns). A
    // signal while the command stops ends the program at once.
    void signalled(int signal);

private:
    struct ReadResult
    {
        SessionOutcome::Result outcome = SessionOutcome::Result::NotConfirmed;
        // The device ended the read, and sent every setting a file holds.
        bool complete = false;
        QString failure; // why not, when not complete
        qsizetype fields = 0;
    };

    ReadResult readDevice();
    // How a command that reads the device first ends when the read was
    // stopped or the port did not open; nothing when it goes on.
    std::optional<int> readStopped(const QString &command, const ReadResult &read);
    bool saveSettings(const QString &fileName);
    // The file's settings with the --set assignments in them, checked; the
    // exit status when the write stops there.
    std::optional<int> prepareWrite(const WriteRequest &request, SettingsRecord &settings);
    // The last line of a command the gate refused: why, in one clause.
    static QString refusalLine(const QString &command, const QList<Problem> &problems,
                               const QList<Problem> &refused, bool strict);
    // One line each for the settings that did not take.
    QStringList untakenSettings(const SettingsRecord &written, const SettingsRecord &back,
                                const QList<Setting> &untaken);
    // Exit 3, unless the port had worked earlier in the command.
    int portUnavailable(const QString &command, bool sentBefore) const;
    // The device never answered the setup line: nothing else was sent.
    int setupLineFailed(const QString &command) const;
    // Runs `job` as the command's job, for signals to stop.
    template <typename Run> JobEnd runJob(DeviceJob &job, Run run);
    // The last line of a command a signal stopped.
    int interruptedEnd(const QString &command, const JobEnd &ended);
    // What the device holds, where its settings are, and the one command that
    // brings it back: the tail of a job's last line once it changed the
    // device.
    QString wayBack(const JobEnd &ended, const QString &kept) const;
    QString commandLine(const QStringList &arguments) const;
    // The last line of `flash` and `recover`.
    int updateEnd(const QString &command, const UpdateJob &job, const JobEnd &ended,
                  bool keepSettings);

    ConsoleHost &m_host;
    SerialLink &m_port;
    HexLog &m_hexLog;
    SessionContext &m_context;
    bool m_json = false;
    QString m_journalFolder;
    DeviceJob *m_job = nullptr;
    // The signal that is stopping the command; 0 while none is.
    int m_stopSignal = 0;
    // Since the warning of a Ctrl-C during the block transfer.
    QElapsedTimer m_sinceWarning;
};

} // namespace telx5
