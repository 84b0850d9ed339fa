#include "devicecommands.h"

#include "backups.h"
#include "checks.h"
#include "commands.h"
#include "consolehost.h"
#include "delay.h"
#include "filecommands.h"
#include "firmwareupdate.h"
#include "flash.h"
#include "jsonoutput.h"
#include "ports.h"
#include "sessions.h"
#include "sessionsupport.h"
#include "settingscheck.h"
#include "settingsfile.h"
#include "settingsreview.h"
#include "updatejob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <filesystem>

namespace telx5 {

namespace {

QString fieldsReceived(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 field received")
                      : QStringLiteral("%1 fields received").arg(count);
}

// The reason when standard output could not take them.
std::optional<QString> printSettings(const SettingsRecord &record, const TextCodec &codec)
{
    return writeStandardOutput(SettingsFile::save(record, codec));
}

// One line each on standard output; the reason when it could not take them.
std::optional<QString> printLines(const QStringList &lines)
{
    QByteArray text;
    for (const QString &line : lines)
        text += line.toUtf8() + '\n';
    return writeStandardOutput(text);
}

QString outputFailure(const QString &reason)
{
    return QStringLiteral("the settings could not be written to standard output: ") + reason;
}

// Why `fileName` cannot take a settings file, empty when it can. Judged
// before the device is touched: a read whose file cannot be saved has had the
// user restart the device for nothing.
QString unsaveable(const QString &fileName)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(QFile::encodeName(fileName).toStdString(), error);
    if (fs::is_directory(status))
        return QStringLiteral("it is a folder");
    if (fs::is_fifo(status))
        return QStringLiteral("it is a FIFO");
    if (fs::is_character_file(status) || fs::is_block_file(status))
        return QStringLiteral("it is a device");
    if (fs::is_socket(status))
        return QStringLiteral("it is a socket");
    if (fs::exists(status) && !fs::is_regular_file(status))
        return QStringLiteral("it is not a regular file");
    const QFileInfo file(fileName);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("its folder %1 does not exist").arg(folder.filePath());
    if (!folder.isWritable() || !folder.isExecutable())
        return QStringLiteral("its folder %1 cannot be written").arg(folder.filePath());
    if (file.exists() && !file.isWritable())
        return QStringLiteral("it cannot be written");
    return {};
}

// Says so and ends the command when `fileName` cannot take a settings file.
std::optional<int> refuseUnsaveable(const QString &command, const QString &fileName,
                                    const QString &unsent)
{
    const QString why = unsaveable(fileName);
    if (why.isEmpty())
        return std::nullopt;
    printLine(QStringLiteral("telx5-cli: cannot save to %1: %2").arg(fileName, why));
    return finish(ExitBadInput, QStringLiteral("%1 refused: %2").arg(command, unsent));
}

// `text` as one word for a POSIX shell.
QString shellWord(const QString &text)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./+:=@%,-]+$"));
    if (plain.match(text).hasMatch())
        return text;
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
           QLatin1Char('\'');
}

} // namespace

int finish(int exitCode, const QString &outcome)
{
    printLine(outcome);
    return exitCode;
}

DeviceCommands::DeviceCommands(ConsoleHost &host, SerialLink &port, HexLog &hexLog,
                               SessionContext &context, const QString &journalFolder)
    : m_host(host), m_port(port), m_hexLog(hexLog), m_context(context),
      m_journalFolder(journalFolder)
{}

DeviceCommands::~DeviceCommands() = default;

int DeviceCommands::portUnavailable(const QString &command, bool sentBefore) const
{
    // The port that worked a moment ago is gone or taken: the link failed.
    if (sentBefore)
        return finish(ExitFailed, command + QStringLiteral(" failed: the port could not be opened "
                                                           "again"));
    return finish(ExitPortUnavailable,
                  command + QStringLiteral(" failed: the port could not be opened; nothing was "
                                           "sent"));
}

template <typename Run> JobEnd DeviceCommands::runJob(DeviceJob &job, Run run)
{
    m_job = &job;
    const JobEnd ended = run();
    m_job = nullptr;
    return ended;
}

void DeviceCommands::signalled(int signal)
{
    // A signal while the command stops (its port drains) ends it at once.
    if (m_stopSignal != 0) {
        printLine(QStringLiteral("telx5-cli: stopped again; ending at once"));
        std::exit(ExitSignalBase + signal);
    }
    // Ctrl-C is easily pressed: during the blocks it only warns, once, and a
    // second one soon after stops. SIGTERM and SIGHUP are never pressed by
    // mistake.
    constexpr qint64 SecondPressMs = 3000;
    const bool inBlocks = m_job && m_job->phase() == UpdateJob::Blocks;
    if (signal == SIGINT && inBlocks &&
        !(m_sinceWarning.isValid() && m_sinceWarning.elapsed() < SecondPressMs)) {
        printLine(QStringLiteral("stopping now leaves the device in its boot loader; press Ctrl-C "
                                 "again within 3 s to stop"));
        m_sinceWarning.start();
        return;
    }
    m_stopSignal = signal;
    if (m_job)
        m_job->stop();
    else
        stopWaits();
}

QString DeviceCommands::commandLine(const QStringList &arguments) const
{
    QStringList words{QStringLiteral("telx5-cli"), QStringLiteral("--port"),
                      shellWord(Ports::deviceName(m_host.portText()))};
    for (const QString &argument : arguments)
        words.append(shellWord(argument));
    return QLatin1Char('`') + words.join(QLatin1Char(' ')) + QLatin1Char('`');
}

QString DeviceCommands::wayBack(const JobEnd &ended, const QString &kept) const
{
    QString text = describeHolds(ended.phase.holds);
    const QString backup = QDir::toNativeSeparators(ended.backup);
    switch (ended.phase.wayBack) {
    case WayBack::None:
        break;
    case WayBack::WriteBackup:
        if (backup.isEmpty())
            text += QStringLiteral("; no backup of its settings was kept");
        else
            text += QStringLiteral("; its settings before the %1 are in %2: %3 brings them back")
                        .arg(kept, backup, commandLine({QStringLiteral("write"), backup}));
        break;
    case WayBack::Recover:
        if (m_journalFolder.isEmpty()) {
            text += QStringLiteral("; nothing can finish this update: power the device off and "
                                   "on, then run it again");
        } else if (backup.isEmpty()) {
            text += QStringLiteral("; %1 finishes the update")
                        .arg(commandLine({QStringLiteral("recover")}));
        } else {
            text += QStringLiteral("; its settings before the %1 are in %2: %3 finishes the update "
                                   "and writes them back")
                        .arg(kept, backup, commandLine({QStringLiteral("recover")}));
        }
        break;
    }
    return text;
}

int DeviceCommands::interruptedEnd(const QString &command, const JobEnd &ended)
{
    // The close lets the bytes queued last (a whole line or frame) leave the
    // wire.
    m_port.close();
    const QString kept =
        command == QLatin1String("write") ? QStringLiteral("write") : QStringLiteral("update");
    return finish(ExitSignalBase + m_stopSignal,
                  QStringLiteral("%1 interrupted: %2").arg(command, wayBack(ended, kept)));
}

int DeviceCommands::setupLineFailed(const QString &command) const
{
    if (m_port.wasDisconnected())
        return finish(ExitFailed, command + QStringLiteral(" failed: the port was disconnected "
                                                           "before the device answered"));
    printLine(QStringLiteral("telx5-cli: restart the device while the setup line goes out, or "
                             "give --no-connect when it is in setup mode already"));
    return finish(ExitFailed, command + QStringLiteral(" failed: the device did not answer the "
                                                       "setup line in 20 attempts; nothing else "
                                                       "was sent"));
}

QStringList DeviceCommands::untakenSettings(const SettingsRecord &written,
                                            const SettingsRecord &back,
                                            const QList<Setting> &untaken)
{
    QStringList keywords;
    for (Setting setting : untaken) {
        const QString keyword = SettingsTable::fileKeyword(setting);
        // What went out, with the code that carried an entry ("mi (code 2)").
        const auto shown = [setting](const SettingsRecord &record) {
            return SettingsTable::valueText(setting, record, SettingsTable::Destination::Report);
        };
        printLine(QStringLiteral("%1 did not take: written \"%2\", read back \"%3\"")
                      .arg(keyword, shown(written), shown(back)));
        keywords.append(keyword);
    }
    return keywords;
}

int DeviceCommands::read(const QString &fileName, bool partial)
{
    if (!fileName.isEmpty()) {
        if (const std::optional<int> refused = refuseUnsaveable(QStringLiteral("read"), fileName,
                                                                QStringLiteral("nothing was sent")))
            return *refused;
    }
    const ReadResult result = readDevice();
    if (const std::optional<int> ended = readStopped(QStringLiteral("read"), result))
        return *ended;
    const QString received = fieldsReceived(result.fields);
    if (!result.complete) {
        // A read that ended with READ END but missed settings is incomplete;
        // one that never ended has failed.
        const bool ended = result.outcome == SessionOutcome::Result::Ok;
        if (partial) {
            printLine(QStringLiteral("telx5-cli: incomplete read: only the %1 are in the "
                                     "settings printed, the others are blank")
                          .arg(received));
            if (const auto failed = printSettings(m_host.settings().record(), m_context.codec))
                printLine(QStringLiteral("telx5-cli: ") + outputFailure(*failed));
        }
        if (ended)
            return finish(ExitFailed, QStringLiteral("read incomplete: ") + result.failure);
        return finish(ExitFailed,
                      QStringLiteral("read failed: %1; %2").arg(result.failure, received));
    }
    printLine(QStringLiteral("Version: ") + m_host.settings().text(Field::Version));
    keepReadBackup(m_context, m_host.settings().record());
    if (fileName.isEmpty()) {
        const SettingsRecord &read = m_host.settings().record();
        if (const auto failed = m_json ? writeStandardOutput(JsonOutput::settings(read))
                                       : printSettings(read, m_context.codec))
            return finish(
                ExitFailed,
                QStringLiteral("read failed: %1, but %2").arg(received, outputFailure(*failed)));
        return finish(ExitConfirmed, QStringLiteral("read ok: ") + received);
    }
    if (!saveSettings(fileName))
        return finish(
            ExitFailed,
            QStringLiteral("read failed: %1, but %2 could not be saved").arg(received, fileName));
    return finish(ExitConfirmed,
                  QStringLiteral("read ok: %1, saved to %2").arg(received, fileName));
}

std::optional<int> DeviceCommands::prepareWrite(const WriteRequest &request,
                                                SettingsRecord &settings)
{
    const QString refused = QStringLiteral("write refused: nothing was sent");
    const CheckedSettings checked = checkSettingsFile(request.fileName, m_context.codec);
    if (!checked.problem.isEmpty()) {
        printLine(QStringLiteral("telx5-cli: ") + checked.problem);
        return finish(ExitBadInput, refused);
    }
    settings = checked.settings;
    for (const QString &assignment : request.assignments) {
        const QString why = SettingsReview::applyAssignment(settings, assignment, m_context.codec);
        if (!why.isEmpty()) {
            printLine(QStringLiteral("telx5-cli: --set %1: %2").arg(assignment, why));
            return finish(ExitBadInput, refused);
        }
    }
    // A backup with nowhere to go stops the write before the device is asked
    // to restart, and before the values are judged: they would not be sent.
    if (!request.backupFileName.isEmpty()) {
        // One that would land on the file being written (by its name, a
        // symbolic or a hard link) would give the next device written from
        // it this one's old settings.
        std::error_code error;
        if (std::filesystem::equivalent(QFile::encodeName(request.backupFileName).toStdString(),
                                        QFile::encodeName(request.fileName).toStdString(), error)) {
            printLine(QStringLiteral("telx5-cli: cannot save to %1: it is the settings file being "
                                     "written")
                          .arg(request.backupFileName));
            return finish(ExitBadInput, refused);
        }
        if (const std::optional<int> unsaveable =
                refuseUnsaveable(QStringLiteral("write"), request.backupFileName,
                                 QStringLiteral("nothing was sent")))
            return unsaveable;
    }
    // The values are judged as this device gets them; a warning never stops
    // the write, an error does when the user asked for it, and a value the
    // device would take otherwise than meant always does.
    const QList<Problem> problems =
        Checks::problems(settings, Checks::Scope::FileSettings, m_context.codec);
    // The job refuses them at its gate, before the port is opened.
    for (const QString &line : SettingsReview::problemLines(problems))
        printLine(line);
    return std::nullopt;
}

QString DeviceCommands::refusalLine(const QString &command, const QList<Problem> &problems,
                                    const QList<Problem> &refused, bool strict)
{
    const auto barred = [&refused](Barrier barrier) {
        return std::any_of(refused.cbegin(), refused.cend(), [barrier](const Problem &problem) {
            return problem.barrier == barrier;
        });
    };
    const QString said = command + QStringLiteral(" refused: nothing was sent; ");
    if (barred(Barrier::Meaning))
        return said + QStringLiteral("a value holds a control character, which would change the "
                                     "command the device receives");
    if (strict)
        return said +
               (command == QLatin1String("write") ? QStringLiteral("the settings have ")
                                                  : QStringLiteral("the credentials have ")) +
               SettingsReview::problemCount(problems) + QStringLiteral(" (--strict)");
    return said + (command == QLatin1String("write")
                       ? QStringLiteral("--lossy sends it anyway")
                       : QStringLiteral("the code page cannot carry a value"));
}

int DeviceCommands::saveDefaults(const QString &fileName)
{
    if (const std::optional<int> refused = refuseUnsaveable(QStringLiteral("default"), fileName,
                                                            QStringLiteral("nothing was saved")))
        return *refused;
    DeviceSettings::applyDefaults(m_host.settings().record());
    if (!saveSettings(fileName))
        return finish(ExitFailed,
                      QStringLiteral("default failed: %1 could not be saved").arg(fileName));
    return finish(ExitConfirmed,
                  QStringLiteral("default ok: the Default values are saved in ") + fileName);
}

int DeviceCommands::check(const QString &fileName)
{
    const CheckedSettings checked = checkSettingsFile(fileName, m_context.codec);
    if (!checked.problem.isEmpty()) {
        printLine(QStringLiteral("telx5-cli: ") + checked.problem);
        return finish(ExitBadInput,
                      QStringLiteral("check refused: the file cannot be read as settings"));
    }
    const QList<Problem> problems =
        Checks::problems(checked.settings, Checks::Scope::FileSettings, m_context.codec);
    if (const auto failed =
            m_json ? writeStandardOutput(JsonOutput::problems(fileName, problems, checked.settings))
                   : printLines(SettingsReview::problemLines(problems)))
        return finish(ExitFailed, QStringLiteral("check failed: the problems could not be written "
                                                 "to standard output: ") +
                                      *failed);
    if (problems.isEmpty())
        return finish(ExitConfirmed, QStringLiteral("check ok: no problems in ") + fileName);
    return finish(ExitFailed, QStringLiteral("check found %1 in %2")
                                  .arg(SettingsReview::problemCount(problems), fileName));
}

int DeviceCommands::diff(const QString &fileName)
{
    const CheckedSettings checked = checkSettingsFile(fileName, m_context.codec);
    if (!checked.problem.isEmpty()) {
        printLine(QStringLiteral("telx5-cli: ") + checked.problem);
        return finish(ExitBadInput, QStringLiteral("diff refused: nothing was sent"));
    }
    const ReadResult read = readDevice();
    if (const std::optional<int> ended = readStopped(QStringLiteral("diff"), read))
        return *ended;
    // Settings that did not arrive would all differ, and say nothing of the
    // device.
    if (!read.complete)
        return finish(
            ExitReadFailed,
            QStringLiteral("diff failed: %1; %2").arg(read.failure, fieldsReceived(read.fields)));
    const SettingsRecord &device = m_host.settings().record();
    keepReadBackup(m_context, device);
    const QStringList lines = SettingsReview::differenceLines(checked.settings, device);
    if (const auto failed =
            m_json
                ? writeStandardOutput(JsonOutput::differences(fileName, checked.settings, device))
                : printLines(lines))
        return finish(ExitFailed, QStringLiteral("diff failed: the differences could not be "
                                                 "written to standard output: ") +
                                      *failed);
    if (lines.isEmpty())
        return finish(ExitConfirmed,
                      QStringLiteral("diff ok: the device holds the settings of ") + fileName);
    return finish(ExitFailed,
                  QStringLiteral("diff: the device differs from %1 in %2")
                      .arg(fileName, lines.size() == 1
                                         ? QStringLiteral("1 setting")
                                         : QStringLiteral("%1 settings").arg(lines.size())));
}

int DeviceCommands::history(const QString &folder, const QString &callsign)
{
    QString device = callsign;
    if (device.isEmpty()) {
        const ReadResult read = readDevice();
        if (const std::optional<int> ended = readStopped(QStringLiteral("history"), read))
            return *ended;
        if (!read.complete)
            return finish(ExitFailed, QStringLiteral("history failed: %1; %2")
                                          .arg(read.failure, fieldsReceived(read.fields)));
        const SettingsRecord &record = m_host.settings().record();
        keepReadBackup(m_context, record);
        device =
            record.text(Field::Callsign).trimmed() + QLatin1Char('-') + record.text(Field::Ssid);
    }
    QList<Backups::Entry> entries = Backups::list(folder);
    entries.removeIf([&device](const Backups::Entry &entry) {
        return entry.callsign.compare(device, Qt::CaseInsensitive) != 0;
    });
    std::reverse(entries.begin(), entries.end());

    const QList<Backups::Step> steps = backupChanges(m_context, entries);
    if (const auto failed = m_json ? writeStandardOutput(JsonOutput::history(device, steps))
                                   : printLines(SettingsReview::historyLines(steps)))
        return finish(ExitFailed,
                      QStringLiteral("history failed: it could not be written to standard "
                                     "output: ") +
                          *failed);
    if (steps.isEmpty())
        return finish(ExitFailed,
                      QStringLiteral("history: no backup of %1 in %2").arg(device, folder));
    return finish(ExitConfirmed,
                  QStringLiteral("history ok: %1 of %2")
                      .arg(steps.size() == 1 ? QStringLiteral("1 backup")
                                             : QStringLiteral("%1 backups").arg(steps.size()),
                           device));
}

DeviceCommands::ReadResult DeviceCommands::readDevice()
{
    const SessionOutcome outcome = readSettings(m_context);
    ReadResult result;
    result.outcome = outcome.result;
    result.fields = outcome.received.arrivedFieldCount();
    result.failure = incompleteRead(outcome);
    result.complete = result.failure.isEmpty();
    return result;
}

std::optional<int> DeviceCommands::readStopped(const QString &command, const ReadResult &read)
{
    if (m_stopSignal != 0)
        return interruptedEnd(command, {});
    if (read.outcome == SessionOutcome::Result::CouldNotOpen)
        return portUnavailable(command, false);
    return std::nullopt;
}

bool DeviceCommands::saveSettings(const QString &fileName)
{
    m_host.setFileName(fileName);
    return saveSettingsFile(m_context);
}

int DeviceCommands::write(const WriteRequest &request)
{
    SettingsRecord settings;
    if (const std::optional<int> refused = prepareWrite(request, settings))
        return *refused;

    WriteJob job(m_context);
    WriteJob::Request asked;
    asked.backupFirst = true;
    asked.connectFirst = request.connectFirst;
    asked.verify = request.verify;
    asked.allowance = {.lossy = request.lossy, .strict = request.strict};
    if (!request.backupFileName.isEmpty()) {
        asked.deviceRead = [this, &request, &settings](const SettingsRecord &device) {
            m_host.settings().record() = device;
            const bool saved = saveSettings(request.backupFileName);
            m_host.settings().record() = settings;
            if (saved)
                printLine(QStringLiteral("The device's settings are saved in ") +
                          request.backupFileName);
            return saved;
        };
    }
    m_host.settings().record() = settings;
    const JobEnd ended = runJob(job, [&] { return job.run(asked); });
    const QString command = QStringLiteral("write");
    const QString confirmed = QStringLiteral("the device confirmed (freq save)");
    switch (ended.result) {
    case JobEnd::Result::Done:
        if (!request.verify)
            return finish(ExitConfirmed, QStringLiteral("write ok: ") + confirmed);
        return finish(ExitConfirmed,
                      QStringLiteral("write ok: %1, and every setting written reads back as "
                                     "written")
                          .arg(confirmed));
    case JobEnd::Result::Stopped:
        return interruptedEnd(command, ended);
    case JobEnd::Result::CouldNotOpen: {
        // The port that worked for the backup's read or the setup line a
        // moment ago is gone or taken.
        const bool talkedBefore = ended.phase == WriteJob::Opening &&
                                  (request.connectFirst || !request.backupFileName.isEmpty() ||
                                   !m_host.backupFolder().isEmpty());
        return portUnavailable(command, talkedBefore);
    }
    case JobEnd::Result::Refused: {
        if (!ended.refused.isEmpty())
            return finish(ExitBadInput,
                          refusalLine(command,
                                      Checks::problems(settings, Checks::Scope::FileSettings,
                                                       m_context.codec),
                                      ended.refused, request.strict));
        const DeviceBackup &backup = job.deviceBackup();
        if (!request.backupFileName.isEmpty() && backup.result == DeviceBackup::Result::NotRead)
            return finish(
                ExitFailed,
                QStringLiteral("write failed: no backup, as the read did not complete "
                               "(%1; %2); nothing was written")
                    .arg(backup.failure, fieldsReceived(backup.read.received.arrivedFieldCount())));
        if (!request.backupFileName.isEmpty() && backup.failure.isEmpty())
            return finish(ExitFailed, QStringLiteral("write failed: the backup could not be saved "
                                                     "to %1; nothing was written")
                                          .arg(request.backupFileName));
        if (backup.result == DeviceBackup::Result::NotRead)
            return finish(
                ExitFailed,
                QStringLiteral("write failed: could not keep a backup, as the read did "
                               "not complete (%1; %2); nothing was written; "
                               "--no-backup writes without one")
                    .arg(backup.failure, fieldsReceived(backup.read.received.arrivedFieldCount())));
        //: Stays English in both languages.
        return finish(ExitFailed,
                      SessionSupport::FixedText::tr("write failed: could not keep a backup; "
                                                    "--no-backup writes without one"));
    }
    case JobEnd::Result::PortLost:
    case JobEnd::Result::Failed:
        break;
    }
    if (ended.phase == WriteJob::SetupLine)
        return setupLineFailed(QStringLiteral("write"));
    // The backup that brings back what the device held, where one was kept.
    QString back;
    if (!ended.backup.isEmpty())
        back = QStringLiteral("; its settings before the write are in %1: %2 brings them back")
                   .arg(QDir::toNativeSeparators(ended.backup),
                        commandLine({QStringLiteral("write"), ended.backup}));
    if (!job.written().ok())
        return finish(ExitFailed, QStringLiteral("write failed: %1; %2%3")
                                      .arg(ended.failure, describeHolds(ended.phase.holds), back));
    const Verification &verification = job.verification();
    if (!verification.readBack.ok())
        return finish(ExitFailed,
                      QStringLiteral("write failed: %1, but the read-back did not "
                                     "complete: %2; %3%4")
                          .arg(confirmed, incompleteRead(verification.readBack),
                               fieldsReceived(verification.readBack.received.arrivedFieldCount()),
                               back));
    const QStringList untaken =
        untakenSettings(settings, verification.readBack.received, verification.untaken);
    return finish(ExitFailed,
                  QStringLiteral("write failed: %1, but %2 did not take: %3%4")
                      .arg(confirmed,
                           untaken.size() == 1 ? QStringLiteral("1 setting")
                                               : QStringLiteral("%1 settings").arg(untaken.size()),
                           untaken.join(QStringLiteral(", ")), back));
}

int DeviceCommands::wifi(const QString &ssid, const QString &password, bool connectFirst,
                         bool strict)
{
    const QString command = QStringLiteral("wifi");
    // A device given no network name has none to join.
    if (ssid.isEmpty())
        return finish(ExitBadInput,
                      QStringLiteral("wifi refused: nothing was sent; the SSID is empty"));
    SettingsRecord &record = m_host.settings().record();
    record.setText(Field::WifiSsid, ssid);
    record.setText(Field::WifiPass, password);
    QList<Problem> problems = Checks::problems(record, Checks::Scope::WithWifi, m_context.codec);
    problems.removeIf([](const Problem &problem) {
        return problem.field != Field::WifiSsid && problem.field != Field::WifiPass;
    });
    for (const QString &line : SettingsReview::problemLines(problems))
        printLine(line);
    WifiJob job(m_context);
    const JobEnd ended = runJob(job, [&] { return job.run(connectFirst, {.strict = strict}); });
    switch (ended.result) {
    case JobEnd::Result::Refused:
        return finish(ExitBadInput, refusalLine(command, problems, ended.refused, strict));
    case JobEnd::Result::Done:
        return finish(
            ExitConfirmed,
            QStringLiteral("wifi ok: the device confirmed (WIFI Write success) and restarts"));
    case JobEnd::Result::Stopped:
        return interruptedEnd(command, ended);
    case JobEnd::Result::CouldNotOpen:
        return portUnavailable(command, !(ended.phase == WifiJob::SetupLine));
    default:
        break;
    }
    if (ended.phase == WifiJob::SetupLine)
        return setupLineFailed(QStringLiteral("wifi"));
    if (!job.outcome().confirmed)
        return finish(ExitFailed,
                      QStringLiteral("wifi failed: ") +
                          (m_port.wasDisconnected()
                               ? QStringLiteral("the port was disconnected")
                               : QStringLiteral("the device did not confirm (no WIFI Write "
                                                "success)")));
    return finish(ExitFailed, QStringLiteral("wifi failed: the device confirmed (WIFI Write "
                                             "success), but REBOOT# could not be sent"));
}

int DeviceCommands::restart()
{
    RestartJob job(m_context);
    const JobEnd ended = runJob(job, [&] { return job.run(); });
    switch (ended.result) {
    case JobEnd::Result::Done:
        return finish(ExitConfirmed, QStringLiteral("restart ok: REBOOT# left the port twice; the "
                                                    "device does not say whether it restarted"));
    case JobEnd::Result::Stopped:
        return interruptedEnd(QStringLiteral("restart"), ended);
    case JobEnd::Result::CouldNotOpen:
        return portUnavailable(QStringLiteral("restart"), false);
    default:
        return finish(ExitFailed, QStringLiteral("restart failed: ") +
                                      (m_port.wasDisconnected()
                                           ? QStringLiteral("the port was disconnected")
                                           : QStringLiteral("REBOOT# could not be sent twice")));
    }
}

int DeviceCommands::flash(const QString &imageFileName, bool keepSettings)
{
    const QString refused = QStringLiteral("flash refused: nothing was sent");
    const std::optional<FirmwareFile> image = readImage(imageFileName);
    if (m_stopSignal != 0)
        return interruptedEnd(QStringLiteral("flash"), {});
    if (!image)
        return finish(ExitBadInput, refused);
    FlashProgress progress(image->image.size());
    FirmwareUpdate update(m_host, progress, m_port, m_hexLog, m_context.codec);
    update.setAnswerOnArrival(true);
    if (!update.takeImage(image->fileName, image->image))
        return finish(ExitBadInput, refused);
    summariseOnCompletion(update, progress);
    UpdateJob job(m_context, update, m_journalFolder);
    UpdateJob::Request asked;
    asked.imagePath = image->fromPipe ? QString() : QFileInfo(image->fileName).absoluteFilePath();
    asked.keepSettings = keepSettings;
    const JobEnd ended = runJob(job, [&] { return job.run(asked); });
    if (!job.transferCompleted())
        printFlashSummary(progress, false);
    return updateEnd(QStringLiteral("flash"), job, ended, keepSettings);
}

int DeviceCommands::recover(const RecoverRequest &request)
{
    const QString refused = QStringLiteral("recover refused: nothing was sent");
    std::optional<FirmwareFile> image;
    if (!request.imageFileName.isEmpty()) {
        image = readImage(request.imageFileName);
        if (m_stopSignal != 0)
            return interruptedEnd(QStringLiteral("recover"), {});
        if (!image)
            return finish(ExitBadInput, refused);
    }
    FlashProgress progress(image ? image->image.size() : 0);
    FirmwareUpdate update(m_host, progress, m_port, m_hexLog, m_context.codec);
    update.setAnswerOnArrival(true);
    if (image && !update.takeImage(image->fileName, image->image))
        return finish(ExitBadInput, refused);
    summariseOnCompletion(update, progress);
    UpdateJob job(m_context, update, m_journalFolder);
    UpdateJob::RecoverRequest asked;
    asked.imagePath = request.imageFileName;
    asked.backupFile = request.backupFileName;
    asked.fromStart = request.fromStart;
    // The journal's image is read by the job, before its first transfer phase.
    job.phaseEntered = [&progress, &update](const JobPhase &) {
        progress.setImageBytes(update.imageLength());
    };
    const JobEnd ended = runJob(job, [&] { return job.recover(asked); });
    if (!job.transferCompleted())
        printFlashSummary(progress, false);
    if (ended.result == JobEnd::Result::Refused) {
        if (!job.interruptedUpdate() && !request.fromStart)
            printLine(QStringLiteral("telx5-cli: to start again, power the device off and on, "
                                     "then run %1")
                          .arg(commandLine({QStringLiteral("flash"), QStringLiteral("IMAGE")})));
        return finish(ExitFailed,
                      QStringLiteral("recover refused: %1; nothing was sent").arg(ended.failure));
    }
    return updateEnd(QStringLiteral("recover"), job, ended, true);
}

int DeviceCommands::updateEnd(const QString &command, const UpdateJob &job, const JobEnd &ended,
                              bool keepSettings)
{
    const QString back = wayBack(ended, QStringLiteral("update"));
    switch (ended.result) {
    case JobEnd::Result::Done:
        if (ended.phase == UpdateJob::Restored)
            return finish(ExitConfirmed,
                          QStringLiteral("update complete; settings restored and verified; apply "
                                         "the Wi-Fi credentials again"));
        if (!keepSettings && !ended.backup.isEmpty())
            return finish(ExitConfirmed,
                          QStringLiteral("%1 ok: the boot loader took the last block; the "
                                         "settings were not written back (--no-keep-settings): "
                                         "%2 holds them")
                              .arg(command, QDir::toNativeSeparators(ended.backup)));
        return finish(ExitConfirmed,
                      QStringLiteral("%1 ok: the boot loader took the last block").arg(command));
    case JobEnd::Result::Stopped:
        return interruptedEnd(command, ended);
    case JobEnd::Result::CouldNotOpen:
        return portUnavailable(command, !(ended.phase == UpdateJob::Read));
    case JobEnd::Result::Refused:
        if (ended.phase == UpdateJob::Read && job.interruptedUpdate())
            return finish(
                ExitBadInput,
                QStringLiteral("%1 refused: %2: %3 finishes it; nothing was sent")
                    .arg(command, ended.failure, commandLine({QStringLiteral("recover")})));
        return finish(ExitFailed,
                      QStringLiteral("%1 refused: %2; nothing was flashed%3")
                          .arg(command, ended.failure,
                               keepSettings ? QStringLiteral(". --no-keep-settings updates anyway")
                                            : QString()));
    case JobEnd::Result::PortLost:
    case JobEnd::Result::Failed:
        break;
    }
    if (job.restoredAfterFailure())
        return finish(ExitFailed, QStringLiteral("%1 failed: %2; the old firmware runs, with its "
                                                 "settings written back and verified")
                                      .arg(command, ended.failure));
    // Without a backup file the settings would be lost with the command:
    // they go to standard output, as `read` prints them, for `write`.
    if (ended.backup.isEmpty() && job.kept() && ended.phase.wayBack != WayBack::None) {
        if (const auto failed =
                writeStandardOutput(SettingsFile::save(*job.kept(), m_context.codec)))
            printLine(QStringLiteral("telx5-cli: standard output: ") + *failed);
        else
            printLine(QStringLiteral("telx5-cli: the settings read before the update are on "
                                     "standard output"));
    }
    QString why = ended.failure;
    if (!ended.differing.isEmpty())
        why = (job.oldFirmwareRuns()
                   ? QStringLiteral("%1; the old firmware runs, but %2 differ from the settings "
                                    "read before")
                         .arg(ended.failure)
                   : QStringLiteral("update complete, but %1 differ from the settings read before"))
                  .arg(DeviceSettings::captions(ended.differing));
    else if (m_port.wasDisconnected())
        why = QStringLiteral("the port was disconnected");
    return finish(ExitFailed, QStringLiteral("%1 failed: %2; %3").arg(command, why, back));
}

} // namespace telx5
