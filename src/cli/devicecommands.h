#pragma once

#include "host.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include <optional>

namespace telx5 {

class ConsoleHost;
class SerialLink;
class HexLog;

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

// The commands of telx5-cli: the window's sessions on the console host, each
// judging its input before anything is sent and ending with one line that
// says how it went.
class DeviceCommands
{
public:
    DeviceCommands(ConsoleHost &host, SerialLink &port, HexLog &hexLog, SessionContext &context);

    int read(const QString &fileName, bool partial);
    int write(const WriteRequest &request);
    int saveDefaults(const QString &fileName);
    // Judges a settings file's values; needs no device.
    int check(const QString &fileName);
    // Reads the device and names each setting in which it differs from the
    // file.
    int diff(const QString &fileName);
    int wifi(const QString &ssid, const QString &password, bool connectFirst);
    int restart();
    // `portGiven`: the --port option, named again in the command that
    // finishes a flash a signal stopped.
    // Unless `keepSettings` is off, the device's settings are read first and
    // written back, verified, once the new firmware runs.
    int flash(const QString &imageFileName, bool connectFirst, const QString &portGiven,
              bool keepSettings);
    // Ends `command` when a signal stopped it: the port is closed after its
    // queued bytes, and the last line says what the device may hold. Returns
    // the exit status.
    // The exit status once the command stopped; nothing when it goes on (a
    // first Ctrl-C during the block transfer only warns).
    std::optional<int> interrupted(const QString &command, int signal);

private:
    struct ReadResult
    {
        SessionOutcome::Result outcome = SessionOutcome::Result::NotConfirmed;
        // The device ended the read, and sent every setting a file holds.
        bool complete = false;
        QString failure; // why not, when not complete
        qsizetype fields = 0;
    };

    // The read's connect phase on its own, so that a write, the Wi-Fi
    // credentials or a flash reach a device that listens for them. The exit
    // status when the device never answered.
    std::optional<int> connect(const QString &command);
    ReadResult readDevice();
    // The write session, noting what a signal would leave on the device.
    SessionOutcome writeNotingPart();
    // The backup of what the device holds, kept once it has been read and
    // before anything is written to it. The exit status when none could be
    // kept: the write stops.
    std::optional<int> keepBackupBeforeWrite(const SettingsRecord &device);
    bool saveSettings(const QString &fileName);
    // The file's settings with the --set assignments in them, checked; the
    // exit status when the write stops there.
    std::optional<int> prepareWrite(const WriteRequest &request, SettingsRecord &settings);
    QStringList untakenSettings(const SettingsRecord &written);
    // Exit 3, unless the port had worked earlier in the command.
    // After the new firmware started: the settings it lost written back.
    int restoreSettings(const SettingsRecord &kept);
    int portUnavailable(const QString &command, bool sentBefore) const;
    // A pulled cable is the reason, whatever else the command saw.
    QString failureOrLoss(const QString &failure) const;

    ConsoleHost &m_host;
    SerialLink &m_port;
    HexLog &m_hexLog;
    SessionContext &m_context;
    // What the device holds if a signal stops the command now, for its last
    // line; empty when there is nothing to add.
    QString m_leftBehind;
    // Since the warning of a Ctrl-C during the block transfer.
    QElapsedTimer m_sinceWarning;
};

} // namespace telx5
