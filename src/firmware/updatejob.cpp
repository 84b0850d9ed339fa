#include "updatejob.h"

#include "backups.h"
#include "checks.h"
#include "commands.h"
#include "devicesettings.h"
#include "filecommands.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "ports.h"
#include "sessionsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace telx5 {

namespace {

using Result = JobEnd::Result;

class UpdateText
{
    Q_DECLARE_TR_FUNCTIONS(UpdateJob)
};

QByteArray sha256Of(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

UpdateJob::UpdateJob(SessionContext &context, FirmwareUpdate &update, const QString &journalFolder)
    : DeviceJob(context), m_update(update), m_journalFolder(journalFolder)
{}

UpdateJob::~UpdateJob() = default;

QString UpdateJob::journalPath() const
{
    if (m_journalFolder.isEmpty())
        return {};
    return UpdateJournal::path(m_journalFolder, Ports::deviceName(m_context.host.portText()));
}

std::optional<UpdateJournal> UpdateJob::interruptedUpdate(QString *error) const
{
    const QString path = journalPath();
    if (path.isEmpty())
        return std::nullopt;
    return UpdateJournal::load(path, error);
}

void UpdateJob::stopped()
{
    m_update.stop();
}

void UpdateJob::enterAndNote(const JobPhase &phase)
{
    enter(phase);
    m_journal.phase = QString::fromLatin1(phase.name);
    note();
}

void UpdateJob::note()
{
    if (!m_journalling)
        return;
    // A journal that can no longer be written (a full disk) leaves the last
    // one whole; the status box says so once.
    const std::optional<QString> failed = m_journal.save(journalPath());
    if (failed && !std::exchange(m_journalFailed, true))
        m_context.host.settings().appendStatusLine(
            UpdateText::tr("the update's journal cannot be written: %1").arg(*failed));
}

void UpdateJob::forgetJournal()
{
    if (m_journalling)
        QFile::remove(journalPath());
    m_journalling = false;
}

QString UpdateJob::unwritable(const SettingsRecord &kept) const
{
    QStringList why;
    for (const Commands::WriteStep &step : Commands::writePlan(kept)) {
        if (!step.line)
            why.append(UpdateText::tr("the callsign %1 is longer than 6 characters")
                           .arg(kept.text(Field::Callsign)));
    }
    // The gate the write-back passes, with nothing allowed: nobody is there
    // to allow it after the erase.
    for (const Problem &problem :
         Checks::refusals(Checks::problems(kept, Checks::Scope::FileSettings, m_context.codec), {}))
        why.append(
            UpdateText::tr("%1: %2").arg(SettingsTable::fieldName(problem.field), problem.text));
    return why.join(QStringLiteral("; "));
}

void UpdateJob::begin()
{
    m_kept.reset();
    m_restoration = {};
    m_oldFirmwareRuns = false;
    m_restoredAfterFailure = false;
    m_transferCompleted = false;
    m_setupLineAfterProbe = false;
    m_journalling = false;
    m_journalFailed = false;
    enter(Read);
}

JobEnd UpdateJob::run(const Request &request)
{
    return runJob([this, &request] {
        SessionHost &host = m_context.host;
        DeviceView &view = host.settings();
        begin();
        // No image: the update's own status line and box say so.
        if (m_update.imageLength() < FirmwareImage::MinimumLength) {
            m_update.startUpdate();
            return end(Result::Refused, UpdateText::tr("no firmware file is chosen"));
        }
        QString journalError;
        if (const auto journal = interruptedUpdate(&journalError)) {
            return end(Result::Refused,
                       UpdateText::tr("an update on %1 stopped after AT+RESET# (%2) and has to be "
                                      "finished first")
                           .arg(journal->port, journal->phase));
        }
        if (!journalError.isEmpty())
            return end(Result::Refused, journalError);

        // "AT+RESET#" erases the settings before the loader takes the image.
        view.appendStatusLine(UpdateText::tr("Reading the settings to keep them across the "
                                             "update: restart the device if it does not answer"));
        const SessionOutcome read = readAside(m_context);
        if (stopping())
            return end(Result::Stopped);
        if (read.result == SessionOutcome::Result::CouldNotOpen) {
            host.dialogs().message(SessionSupport::portFailure());
            return endAfter(read, {});
        }
        if (read.result == SessionOutcome::Result::PortLost) {
            SessionSupport::reportLoss(host, m_context.port);
            return endAfter(read, {});
        }
        const QString incomplete = incompleteRead(read);
        if (incomplete.isEmpty()) {
            m_kept = read.received;
            QString path;
            if (!keepBackupBeforeChange(m_context, *m_kept, Backups::BeforeUpdate, &path))
                return end(Result::Refused, UpdateText::tr("could not keep a backup"));
            setBackup(path);
        }
        if (!incomplete.isEmpty() && request.keepSettings) {
            if (!host.dialogs().question(UpdateText::tr("The settings could not be read first, "
                                                        "and the update erases them. Update "
                                                        "anyway and lose them?")))
                return end(Result::Refused,
                           UpdateText::tr("the settings could not be read first (%1), and the "
                                          "update would erase them")
                               .arg(incomplete));
        } else if (!incomplete.isEmpty()) {
            view.appendStatusLine(UpdateText::tr("The settings could not be read (%1): the update "
                                                 "erases them, and no backup holds them")
                                      .arg(incomplete));
        } else if (request.keepSettings) {
            // An update never stops after the erase because of its own
            // settings.
            if (const QString why = unwritable(*m_kept); !why.isEmpty())
                return end(Result::Refused,
                           UpdateText::tr("the settings read cannot be written back as they "
                                          "are: %1")
                               .arg(why));
        } else {
            view.appendStatusLine(
                backup().isEmpty()
                    ? UpdateText::tr("The update erases the device's settings; no backup holds "
                                     "them")
                    : UpdateText::tr("The update erases the device's settings; %1 holds them")
                          .arg(QDir::toNativeSeparators(backup())));
        }
        if (stopping())
            return end(Result::Stopped);

        // The backup's line stays in sight through the update.
        if (!backup().isEmpty())
            host.holdStatus(true);
        m_journal = {};
        m_journal.port = Ports::deviceName(host.portText());
        m_journal.image = request.imagePath;
        m_journal.sha256 = sha256Of(m_update.image());
        m_journal.size = m_update.image().size();
        m_journal.backup = backup();
        m_journal.keepSettings = request.keepSettings && m_kept.has_value();
        m_journal.phase = QString::fromLatin1(Reset.name);
        if (!m_journalFolder.isEmpty()) {
            if (const auto failed = m_journal.save(journalPath()))
                return end(
                    Result::Refused,
                    UpdateText::tr("the update's journal cannot be written: %1").arg(*failed));
            m_journalling = true;
        }
        return transfer(Transfer::FromSetupLine);
    });
}

JobEnd UpdateJob::transfer(Transfer how, int block, int bytesSent)
{
    std::optional<FirmwareUpdate::Outcome> outcome;
    QEventLoop loop;
    const std::array connections = {
        QObject::connect(&m_update, &FirmwareUpdate::finished, &loop,
                         [&](FirmwareUpdate::Outcome ended) {
                             outcome = ended;
                             loop.quit();
                         }),
        QObject::connect(&m_update, &FirmwareUpdate::rebootSending, &loop,
                         [this] { enterAndNote(Boot); }),
        QObject::connect(&m_update, &FirmwareUpdate::bootLoaderWaiting, &loop,
                         [this](bool waiting) {
                             if (!waiting)
                                 return;
                             m_journal.headerSent = true;
                             enterAndNote(Blocks);
                             // The power warning stays in sight while blocks go out.
                             m_context.host.holdStatus(true);
                         }),
        QObject::connect(&m_update, &FirmwareUpdate::frameSending, &loop,
                         [this](int frame) {
                             // Until the frame has left, nobody knows how much of it did.
                             m_journal.frame = frame;
                             m_journal.frameBytesSent = -1;
                             m_journal.askedFor = -1;
                             note();
                         }),
    };
    switch (how) {
    case Transfer::FromSetupLine:
        enterOnFirstSend(Reset);
        m_update.startUpdate();
        break;
    case Transfer::FromProbe:
        enterAndNote(Boot);
        m_update.startAtProbe();
        break;
    case Transfer::Resume:
        m_update.resumeTransfer(block, bytesSent);
        break;
    }
    if (!outcome && m_update.sessionRunning())
        loop.exec();
    for (const QMetaObject::Connection &connection : connections)
        QObject::disconnect(connection);

    // What the loader holds of the frame that went out last: the close let
    // it leave whole unless the port went away, and the loader's reply (when
    // it came) says which block it wants next.
    if (m_journal.frame >= 0 && phase() == Blocks) {
        const qint64 unsent = m_context.port.unsentAtClose();
        m_journal.frameBytesSent =
            unsent < 0 ? -1 : int(std::max<qint64>(0, FirmwareImage::FrameSize - unsent));
        m_journal.askedFor = m_update.blockAskedFor().value_or(-1);
        note();
    }

    switch (outcome.value_or(FirmwareUpdate::Outcome::Failed)) {
    case FirmwareUpdate::Outcome::Completed:
        m_transferCompleted = true;
        return writeBack();
    case FirmwareUpdate::Outcome::Stopped:
        if (phase() == Read)
            forgetJournal();
        return end(Result::Stopped);
    case FirmwareUpdate::Outcome::PortUnavailable:
        if (phase() == Read) {
            forgetJournal();
            return end(Result::CouldNotOpen, m_update.failure());
        }
        return failedTransfer(m_update.failure());
    case FirmwareUpdate::Outcome::Failed:
        break;
    }
    return failedTransfer(m_update.failure());
}

JobEnd UpdateJob::failedTransfer(const QString &why)
{
    if (phase() == Read) {
        forgetJournal();
        return end(Result::Failed, why);
    }
    if (m_context.port.wasDisconnected())
        return end(Result::PortLost, why);
    if (std::exchange(m_setupLineAfterProbe, false) && !m_journal.headerSent && !stopping()) {
        const SessionOutcome connected = connectDevice(m_context);
        if (!connected.ok())
            return endAfter(connected, why);
        return transfer(Transfer::FromSetupLine);
    }
    // A loader that has the header takes whatever comes next as a frame:
    // setup lines would become bytes of the image. Only a loader that never
    // answered has left the device in its firmware, where the settings can
    // go back at once.
    if (m_journal.headerSent || !m_journal.keepSettings || !m_kept || stopping())
        return end(stopping() ? Result::Stopped : Result::Failed, why);
    m_context.host.settings().appendStatusLine(
        UpdateText::tr("The boot loader did not answer; writing the settings back to the "
                       "firmware: restart the device if it does not answer"));
    m_oldFirmwareRuns = true;
    const JobEnd restored = writeBack();
    if (!restored.done()) {
        JobEnd failed = restored;
        failed.failure = why;
        return failed;
    }
    m_restoredAfterFailure = true;
    return end(Result::Failed, why);
}

JobEnd UpdateJob::writeBack()
{
    if (!m_journal.keepSettings || !m_kept) {
        forgetJournal();
        enter(Flashed);
        return end(Result::Done);
    }
    DeviceView &view = m_context.host.settings();
    // A write the device did not confirm gets one more try.
    constexpr int Tries = 2;
    for (int attempt = 1;; ++attempt) {
        enterAndNote(Reconnect);
        view.appendStatusLine(
            UpdateText::tr("Writing the settings back: restart the device if it does not answer"));
        // The new firmware starts as a restarted device does.
        const SessionOutcome connected = connectDevice(m_context);
        if (!connected.ok())
            return endAfter(connected,
                            UpdateText::tr("the new firmware did not answer the setup line"));
        m_restoration = restoreKeptSettings(m_context, *m_kept, [this](const char *step) {
            for (const JobPhase &phase : {WriteBack, Dhcp, ReadBack}) {
                if (std::string_view(phase.name) == step)
                    enterAndNote(phase);
            }
        });
        if (m_restoration.restored()) {
            forgetJournal();
            enter(Restored);
            return end(Result::Done);
        }
        const bool unconfirmed =
            m_restoration.written.result == SessionOutcome::Result::NotConfirmed;
        if (unconfirmed && attempt < Tries && !stopping())
            continue;
        if (!m_restoration.written.ok())
            return endAfter(m_restoration.written,
                            UpdateText::tr("the device did not confirm the settings"));
        if (!m_restoration.verification.readBack.ok())
            return endAfter(m_restoration.verification.readBack,
                            UpdateText::tr("the read-back did not complete"));
        JobEnd differing = end(Result::Failed, UpdateText::tr("settings differ"));
        differing.differing = m_restoration.verification.untaken;
        return differing;
    }
}

JobEnd UpdateJob::recover(const RecoverRequest &request)
{
    return runJob([this, &request] {
        SessionHost &host = m_context.host;
        begin();
        QString error;
        const std::optional<UpdateJournal> journal = interruptedUpdate(&error);
        if (!journal && !error.isEmpty())
            return end(Result::Refused, error);
        if (!journal && !request.fromStart)
            return end(Result::Refused, UpdateText::tr("no update on %1 stopped after AT+RESET#")
                                            .arg(Ports::deviceName(host.portText())));

        // The image: the one given, or the journal's file, and in either
        // case the one the update was sending.
        if (request.imagePath.isEmpty() && journal) {
            if (journal->image.isEmpty())
                return end(Result::Refused, UpdateText::tr("the image came through a pipe: give "
                                                           "it again"));
            QFile file(journal->image);
            QByteArray image;
            if (file.open(QIODevice::ReadOnly))
                image = file.read(FirmwareImage::MaximumLength + 1);
            if (!file.isOpen() || file.error() != QFileDevice::NoError ||
                !m_update.takeImage(journal->image, image))
                return end(Result::Refused, UpdateText::tr("the image %1 cannot be read: %2")
                                                .arg(journal->image, file.errorString()));
        }
        if (m_update.imageLength() < FirmwareImage::MinimumLength)
            return end(Result::Refused, UpdateText::tr("no firmware image"));
        if (journal && !request.fromStart &&
            (sha256Of(m_update.image()) != journal->sha256 ||
             m_update.image().size() != journal->size))
            return end(Result::Refused,
                       UpdateText::tr("%1 is not the image the update was sending (its SHA-256 "
                                      "differs)")
                           .arg(m_update.imageFileName()));

        // The settings to write back: the file given, or the journal's
        // backup; never one picked by date.
        const QString backupFile = !request.backupFile.isEmpty()
                                       ? request.backupFile
                                       : (journal ? journal->backup : QString());
        if (!backupFile.isEmpty()) {
            const std::optional<SettingsRecord> settings =
                readSettingsFileAside(m_context, backupFile);
            if (!settings || !settings->missing(SettingsTable::fileSettings()).isEmpty())
                return end(Result::Refused,
                           UpdateText::tr("the backup %1 cannot be read as a whole settings file")
                               .arg(QDir::toNativeSeparators(backupFile)));
            if (const QString why = unwritable(*settings); !why.isEmpty())
                return end(Result::Refused,
                           UpdateText::tr("the backup %1 cannot be written back as it is: %2")
                               .arg(QDir::toNativeSeparators(backupFile), why));
            m_kept = settings;
            setBackup(backupFile);
        }

        m_journal = journal.value_or(UpdateJournal{});
        if (!journal || request.fromStart) {
            m_journal = {};
            m_journal.port = Ports::deviceName(host.portText());
            m_journal.image = m_update.imageFileName();
            m_journal.sha256 = sha256Of(m_update.image());
            m_journal.size = m_update.image().size();
            m_journal.phase = QString::fromLatin1(Reset.name);
        }
        m_journal.backup = backup();
        m_journal.keepSettings = m_kept.has_value() && (!journal || journal->keepSettings ||
                                                        !request.backupFile.isEmpty());
        m_journalling = !m_journalFolder.isEmpty();
        note();

        const QString phaseName = m_journal.phase;
        const auto is = [&phaseName](const JobPhase &phase) {
            return phaseName == QLatin1String(phase.name);
        };
        if (request.fromStart) {
            enter(Read);
            const SessionOutcome connected = connectDevice(m_context);
            if (!connected.ok())
                return endAfter(connected, UpdateText::tr("the device did not answer the setup "
                                                          "line"));
            return transfer(Transfer::FromSetupLine);
        }
        if (is(Reset) || is(Boot) || (is(Blocks) && !m_journal.headerSent)) {
            m_setupLineAfterProbe = true;
            return transfer(Transfer::FromProbe);
        }
        if (is(Blocks)) {
            const int count = FirmwareImage::blockCount(m_update.imageLength());
            if (m_journal.frame < 0)
                return transfer(Transfer::Resume, 0, 0);
            if (m_journal.frameBytesSent < 0)
                return end(Result::Refused,
                           UpdateText::tr("the journal does not say how much of block %1 left "
                                          "the port")
                               .arg(m_journal.frame));
            if (m_journal.frameBytesSent < FirmwareImage::FrameSize)
                return transfer(Transfer::Resume, m_journal.frame, m_journal.frameBytesSent);
            // A frame that left whole was taken, unless the loader asked for
            // it again.
            const int next = m_journal.askedFor >= 0 ? m_journal.askedFor : m_journal.frame + 1;
            if (next >= count)
                return writeBack();
            return transfer(Transfer::Resume, next, 0);
        }
        return writeBack();
    });
}

} // namespace telx5
