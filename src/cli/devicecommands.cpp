#include "devicecommands.h"

#include "backups.h"
#include "checks.h"
#include "commands.h"
#include "consolehost.h"
#include "delay.h"
#include "filecommands.h"
#include "flash.h"
#include "qtseriallink.h"
#include "sessions.h"
#include "sessionsupport.h"
#include "settingscheck.h"
#include "settingsfile.h"
#include "settingsreview.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
#include <filesystem>

namespace telx5 {

namespace {

// As the read: the setup line once a second, 20 times.
constexpr int ConnectAttempts = 20;
constexpr int ConnectWaitMs = 1000;

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

QString lastLine(const QString &text)
{
    const QStringList lines = QString(text)
                                  .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last();
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
                               SessionContext &context)
    : m_host(host), m_port(port), m_hexLog(hexLog), m_context(context)
{}

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

QString DeviceCommands::failureOrLoss(const QString &failure) const
{
    return m_port.wasDisconnected() ? QStringLiteral("the port was disconnected") : failure;
}

std::optional<int> DeviceCommands::connect(const QString &command)
{
    Flags &flags = m_host.flags();
    DeviceView &view = m_host.settings();
    flags.connectOk = false;
    // Nothing has opened the port before: a failure here is a port that
    // cannot be used at all.
    if (!SessionSupport::openPort(m_host, m_port))
        return portUnavailable(command, false);
    SessionSupport::normalisePortText(m_host);

    const QByteArray setupLine = m_context.codec.encode(Commands::connect());
    for (int attempt = 1; attempt <= ConnectAttempts && !flags.connectOk; ++attempt) {
        view.setStatusText(QStringLiteral("Please restart TELX5......Connection %1/%2Times......")
                               .arg(attempt)
                               .arg(ConnectAttempts));
        if (!m_port.send(setupLine))
            break;
        // The answer ends the wait as soon as it is in: the next lines need
        // not wait out the second.
        waitUntil([&] { return flags.connectOk || !m_port.isOpen(); }, ConnectWaitMs);
    }
    // The sessions take the port afresh; one left open would cancel them.
    const bool lost = m_port.wasDisconnected();
    m_port.close();
    if (flags.connectOk) {
        view.appendStatusLine(SessionSupport::SessionText::tr("Connection is successful"));
        return std::nullopt;
    }
    if (lost) {
        SessionSupport::reportLoss(m_host, m_port);
        return finish(ExitFailed, command + QStringLiteral(" failed: the port was disconnected "
                                                           "before the device answered"));
    }
    printLine(QStringLiteral("telx5-cli: restart the device while the setup line goes out, or "
                             "give --no-connect when it is in setup mode already"));
    return finish(ExitFailed, command + QStringLiteral(" failed: the device did not answer the "
                                                       "setup line in %1 attempts; nothing else "
                                                       "was sent")
                                            .arg(ConnectAttempts));
}

DeviceCommands::ReadResult DeviceCommands::readDevice()
{
    const SessionOutcome outcome = readSettings(m_context);
    ReadResult result;
    result.outcome = outcome.result;
    result.fields = outcome.received.arrivedFieldCount();
    if (!outcome.ok()) {
        result.failure = outcome.result == SessionOutcome::Result::PortLost
                             ? QStringLiteral("the port was disconnected")
                             : QStringLiteral("the device did not send READ END");
        return result;
    }
    // A settings file saved from a read that missed a setting would blank
    // it on the device when it is written back.
    const QList<Setting> fileSettings = SettingsTable::fileSettings();
    const QList<Setting> missing = outcome.received.missing(fileSettings);
    result.complete = missing.isEmpty();
    if (!result.complete) {
        QStringList names;
        for (Setting setting : missing)
            names.append(SettingsTable::fileKeyword(setting));
        result.failure = QStringLiteral("the device sent %1 of %2 settings; missing: %3")
                             .arg(fileSettings.size() - missing.size())
                             .arg(fileSettings.size())
                             .arg(names.join(QStringLiteral(", ")));
    }
    return result;
}

std::optional<int> DeviceCommands::keepBackupBeforeWrite(const SettingsRecord &device)
{
    if (keepBackupBeforeChange(m_context, device, Backups::BeforeWrite))
        return std::nullopt;
    //: Stays English in both languages.
    return finish(ExitFailed,
                  SessionSupport::FixedText::tr("write failed: could not keep a backup; "
                                                "--no-backup writes without one"));
}

bool DeviceCommands::saveSettings(const QString &fileName)
{
    m_host.setFileName(fileName);
    return saveSettingsFile(m_context);
}

int DeviceCommands::read(const QString &fileName, bool partial)
{
    if (!fileName.isEmpty()) {
        if (const std::optional<int> refused = refuseUnsaveable(QStringLiteral("read"), fileName,
                                                                QStringLiteral("nothing was sent")))
            return *refused;
    }
    const ReadResult result = readDevice();
    if (result.outcome == SessionOutcome::Result::CouldNotOpen)
        return portUnavailable(QStringLiteral("read"), false);
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
        if (const auto failed = printSettings(m_host.settings().record(), m_context.codec))
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

QStringList DeviceCommands::untakenSettings(const SettingsRecord &written)
{
    const SettingsRecord &back = m_host.settings().record();
    QStringList untaken;
    for (Setting setting : SettingsFile::differences(written, back)) {
        const QString keyword = SettingsTable::fileKeyword(setting);
        const qsizetype valueAt = keyword.size() + 1;
        printLine(QStringLiteral("%1 did not take: written \"%2\", read back \"%3\"")
                      .arg(keyword, SettingsFile::fileLine(setting, written).mid(valueAt),
                           SettingsFile::fileLine(setting, back).mid(valueAt)));
        untaken.append(keyword);
    }
    return untaken;
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
        if (const std::optional<int> unsaveable =
                refuseUnsaveable(QStringLiteral("write"), request.backupFileName,
                                 QStringLiteral("nothing was sent")))
            return unsaveable;
    }
    // The values are judged as this device gets them; a warning never stops
    // the write, an error does when the user asked for it.
    const QList<Problem> problems = Checks::problems(settings, Checks::Scope::FileSettings);
    for (const QString &line : SettingsReview::problemLines(problems))
        printLine(line);
    if (request.strict && Checks::hasErrors(problems))
        return finish(ExitBadInput,
                      QStringLiteral("write refused: nothing was sent; the settings have %1 "
                                     "(--strict)")
                          .arg(SettingsReview::problemCount(problems)));
    // Text the code page lacks would reach the device as '?': named, and
    // sent only when asked for.
    const auto lossy = DeviceSettings::lossyFields(settings, m_context.codec);
    if (!lossy.isEmpty() && !request.lossy) {
        for (const auto &[field, lost] : lossy)
            printLine(DeviceSettings::lossLine(field, lost));
        return finish(ExitBadInput,
                      QStringLiteral("write refused: nothing was sent; --lossy sends it anyway"));
    }
    return std::nullopt;
}

int DeviceCommands::write(const WriteRequest &request)
{
    SettingsRecord settings;
    if (const std::optional<int> refused = prepareWrite(request, settings))
        return *refused;

    // The backup's read connects to the device by itself.
    if (!request.backupFileName.isEmpty()) {
        const ReadResult backup = readDevice();
        if (backup.outcome == SessionOutcome::Result::CouldNotOpen)
            return portUnavailable(QStringLiteral("write"), false);
        if (!backup.complete)
            return finish(ExitFailed, QStringLiteral("write failed: no backup, as the read did not "
                                                     "complete (%1; %2); nothing was written")
                                          .arg(backup.failure, fieldsReceived(backup.fields)));
        if (!saveSettings(request.backupFileName))
            return finish(ExitFailed, QStringLiteral("write failed: the backup could not be saved "
                                                     "to %1; nothing was written")
                                          .arg(request.backupFileName));
        printLine(QStringLiteral("The device's settings are saved in ") + request.backupFileName);
        if (const std::optional<int> stopped = keepBackupBeforeWrite(m_host.settings().record()))
            return *stopped;
    } else if (!m_host.backupFolder().isEmpty()) {
        // What the device holds is kept before it is written over; the read
        // connects.
        const ReadResult device = readDevice();
        if (device.outcome == SessionOutcome::Result::CouldNotOpen)
            return portUnavailable(QStringLiteral("write"), false);
        if (!device.complete)
            return finish(ExitFailed,
                          QStringLiteral("write failed: could not keep a backup, as the read did "
                                         "not complete (%1; %2); nothing was written; "
                                         "--no-backup writes without one")
                              .arg(device.failure, fieldsReceived(device.fields)));
        if (const std::optional<int> stopped = keepBackupBeforeWrite(m_host.settings().record()))
            return *stopped;
    } else if (request.connectFirst) {
        if (const std::optional<int> failed = connect(QStringLiteral("write")))
            return *failed;
    }

    m_host.settings().record() = settings;
    const SessionOutcome written = writeNotingPart();
    if (written.result == SessionOutcome::Result::CouldNotOpen)
        return portUnavailable(QStringLiteral("write"),
                               request.connectFirst || !request.backupFileName.isEmpty());
    if (!written.ok())
        return finish(ExitFailed, QStringLiteral("write failed: ") +
                                      failureOrLoss(QStringLiteral(
                                          "the device did not confirm (no freq save)")));
    const QString confirmed = QStringLiteral("the device confirmed (freq save)");
    if (!request.verify)
        return finish(ExitConfirmed, QStringLiteral("write ok: ") + confirmed);

    const ReadResult readBack = readDevice();
    if (!readBack.complete)
        return finish(ExitFailed,
                      QStringLiteral("write failed: %1, but the read-back did not "
                                     "complete: %2; %3")
                          .arg(confirmed, readBack.failure, fieldsReceived(readBack.fields)));
    const QStringList untaken = untakenSettings(settings);
    if (untaken.isEmpty())
        return finish(ExitConfirmed,
                      QStringLiteral("write ok: %1, and every setting written reads back as "
                                     "written")
                          .arg(confirmed));
    return finish(ExitFailed,
                  QStringLiteral("write failed: %1, but %2 did not take: %3")
                      .arg(confirmed,
                           untaken.size() == 1 ? QStringLiteral("1 setting")
                                               : QStringLiteral("%1 settings").arg(untaken.size()),
                           untaken.join(QStringLiteral(", "))));
}

SessionOutcome DeviceCommands::writeNotingPart()
{
    // From the first setting line on, a signal leaves the device half
    // written.
    const QMetaObject::Connection firstLine =
        QObject::connect(&m_port, &SerialLink::sent, &m_port, [this] {
            m_leftBehind = QStringLiteral("the device may hold part of the new settings");
        });
    const SessionOutcome written = writeSettings(m_context);
    QObject::disconnect(firstLine);
    m_leftBehind = written.confirmed
                       ? QStringLiteral("the device confirmed the new settings (freq save)")
                       : QString();
    return written;
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
    const QList<Problem> problems = Checks::problems(checked.settings, Checks::Scope::FileSettings);
    if (const auto failed = printLines(SettingsReview::problemLines(problems)))
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
    if (read.outcome == SessionOutcome::Result::CouldNotOpen)
        return portUnavailable(QStringLiteral("diff"), false);
    // Settings that did not arrive would all differ, and say nothing of the
    // device.
    if (!read.complete)
        return finish(
            ExitReadFailed,
            QStringLiteral("diff failed: %1; %2").arg(read.failure, fieldsReceived(read.fields)));
    const SettingsRecord &device = m_host.settings().record();
    keepReadBackup(m_context, device);
    const QStringList lines = SettingsReview::differenceLines(checked.settings, device);
    if (const auto failed = printLines(lines))
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

int DeviceCommands::wifi(const QString &ssid, const QString &password, bool connectFirst)
{
    if (connectFirst) {
        if (const std::optional<int> failed = connect(QStringLiteral("wifi")))
            return *failed;
    }
    m_host.settings().setText(Field::WifiSsid, ssid);
    m_host.settings().setText(Field::WifiPass, password);
    const SessionOutcome outcome = applyWifi(m_context);
    if (outcome.result == SessionOutcome::Result::CouldNotOpen)
        return portUnavailable(QStringLiteral("wifi"), connectFirst);
    if (!outcome.confirmed)
        return finish(ExitFailed,
                      QStringLiteral("wifi failed: ") +
                          failureOrLoss(QStringLiteral("the device did not confirm (no WIFI Write "
                                                       "success)")));
    if (!outcome.ok())
        return finish(ExitFailed, QStringLiteral("wifi failed: the device confirmed (WIFI Write "
                                                 "success), but REBOOT# could not be sent"));
    return finish(
        ExitConfirmed,
        QStringLiteral("wifi ok: the device confirmed (WIFI Write success) and restarts"));
}

int DeviceCommands::restart()
{
    const SessionOutcome outcome = restartDevice(m_context);
    if (outcome.result == SessionOutcome::Result::CouldNotOpen)
        return portUnavailable(QStringLiteral("restart"), false);
    if (!outcome.ok())
        return finish(ExitFailed,
                      QStringLiteral("restart failed: ") +
                          failureOrLoss(QStringLiteral("REBOOT# could not be sent twice")));
    return finish(ExitConfirmed, QStringLiteral("restart ok: REBOOT# left the port twice; the "
                                                "device does not say whether it restarted"));
}

int DeviceCommands::flash(const QString &imageFileName, bool connectFirst, const QString &portGiven,
                          bool keepSettings)
{
    const QString refused = QStringLiteral("flash refused: nothing was sent");
    const std::optional<FirmwareFile> image = readImage(imageFileName);
    if (!image)
        return finish(ExitBadInput, refused);
    // "AT+RESET#" erases the settings before the loader takes the image: they
    // are read first (the read connects), and written back afterwards.
    std::optional<SettingsRecord> kept;
    if (connectFirst && keepSettings) {
        const ReadResult read = readDevice();
        if (read.outcome == SessionOutcome::Result::CouldNotOpen)
            return portUnavailable(QStringLiteral("flash"), false);
        if (!read.complete)
            return finish(ExitFailed,
                          QStringLiteral("flash refused: the settings could not be read first "
                                         "(%1), and the update would erase them; nothing was "
                                         "flashed. --no-keep-settings updates anyway")
                              .arg(read.failure));
        kept = m_host.settings().record();
        if (!keepBackupBeforeChange(m_context, *kept, Backups::BeforeUpdate))
            return finish(ExitFailed, QStringLiteral("flash failed: could not keep a backup; "
                                                     "nothing was flashed; --no-backup updates "
                                                     "without one"));
    } else if (connectFirst) {
        if (const std::optional<int> failed = connect(QStringLiteral("flash")))
            return *failed;
    } else if (keepSettings) {
        printLine(QStringLiteral("telx5-cli: the device is in its boot loader already: there are "
                                 "no settings to keep"));
    }
    // The same port, whatever the port memory says by then; a pipe's image
    // is gone, and must be given again.
    QStringList again{QStringLiteral("telx5-cli flash --no-connect")};
    if (!portGiven.isEmpty())
        again << QStringLiteral("--port") << shellWord(portGiven);
    again << (image->fromPipe ? QStringLiteral("IMAGE") : shellWord(imageFileName));
    const QString finishLater =
        QStringLiteral("the device waits in its boot loader: run `%1` to finish")
            .arg(again.join(QLatin1Char(' ')));
    const FlashResult result = flashImage(
        m_host, m_port, m_hexLog, m_context.codec, *image,
        [this, &finishLater](bool waiting) { m_leftBehind = waiting ? finishLater : QString(); });
    m_leftBehind.clear();
    if (result.exitCode == FlashPortUnavailable)
        return portUnavailable(QStringLiteral("flash"), connectFirst);
    switch (result.exitCode) {
    case FlashDone:
        if (kept)
            return restoreSettings(*kept);
        return finish(ExitConfirmed,
                      QStringLiteral("flash ok: the boot loader took the last block"));
    case FlashBadImage:
        return finish(ExitBadInput, refused);
    default:
        // The update's last status line says why it ended.
        return finish(ExitFailed, QStringLiteral("flash failed: ") +
                                      failureOrLoss(lastLine(m_host.settings().statusText())));
    }
}

int DeviceCommands::restoreSettings(const SettingsRecord &kept)
{
    const QString lost = QStringLiteral("update complete, but the settings could not be restored "
                                        "(%1); they were:\n");
    const auto notRestored = [&](const QString &why) {
        // The settings are not lost with the command: they go to standard
        // output, as `read` prints them, for `write` to take back.
        const QString failure = lost.arg(why);
        printLine(failure.trimmed());
        if (const auto failed = writeStandardOutput(SettingsFile::save(kept, m_context.codec)))
            printLine(QStringLiteral("telx5-cli: standard output: ") + *failed);
        return finish(ExitFailed, QStringLiteral("flash failed: ") + failure.trimmed());
    };
    // The new firmware starts like a restarted device: the setup line again.
    if (connect(QStringLiteral("flash")))
        return notRestored(QStringLiteral("the new firmware did not answer the setup line"));
    m_host.settings().record() = kept;
    if (!writeSettings(m_context).ok())
        return notRestored(QStringLiteral("the device did not confirm the write"));
    const Verification verification = verifyWrite(m_context, kept);
    if (!verification.verified())
        return notRestored(verification.readBack.ok()
                               ? QStringLiteral("%1 did not take")
                                     .arg(DeviceSettings::captions(verification.untaken))
                               : QStringLiteral("the read-back did not complete"));
    return finish(ExitConfirmed, QStringLiteral("update complete; settings restored and "
                                                "verified; apply the Wi-Fi credentials again"));
}

std::optional<int> DeviceCommands::interrupted(const QString &command, int signal)
{
    // Ctrl-C is easily pressed: during the blocks it only warns, once, and a
    // second one soon after stops. SIGTERM and SIGHUP are never pressed by
    // mistake.
    constexpr qint64 SecondPressMs = 3000;
    if (signal == SIGINT && !m_leftBehind.isEmpty() &&
        !(m_sinceWarning.isValid() && m_sinceWarning.elapsed() < SecondPressMs)) {
        printLine(QStringLiteral("stopping now leaves the device in its boot loader; press Ctrl-C "
                                 "again within 3 s to stop"));
        m_sinceWarning.start();
        return std::nullopt;
    }
    // The close lets the bytes queued last (a whole line or frame) leave the
    // wire; events that run meanwhile may still tell what the device holds.
    m_port.close();
    QString line = command + QStringLiteral(" interrupted: the port is closed");
    if (!m_leftBehind.isEmpty())
        line += QStringLiteral("; ") + m_leftBehind;
    return finish(ExitSignalBase + signal, line);
}

} // namespace telx5
