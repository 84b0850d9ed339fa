#include "firmwareupdate.h"

#include "codepage.h"
#include "commands.h"
#include "delay.h"
#include "firmwareimage.h"
#include "hexlog.h"
#include "seriallink.h"
#include "sessionsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace telx5 {

namespace {

constexpr int BootProbeIntervalMs = 1000;
constexpr int ReplyWatchIntervalMs = 100;
constexpr int ResetTries = 5;
constexpr int BootWaitTicks = 10;

using SessionSupport::FixedText;

QString updateCaption(bool updating)
{
    return updating ? FixedText::tr("update...") : FixedText::tr("update");
}

QString chooseFirmware()
{
    return FixedText::tr("Please choose fireware");
}

// The timers follow the same scale as Delay, so tests need not wait out a
// real boot loader's seconds.
int scaled(int ms)
{
    return std::max(1, static_cast<int>(std::lround(ms * delayTimeScale())));
}

QString waitCount(int count, int of)
{
    return QString::number(count) + QLatin1Char('/') + QString::number(of);
}

} // namespace

FirmwareUpdate::FirmwareUpdate(SessionHost &host, FirmwareHost &firmwareHost, SerialLink &port,
                               HexLog &hexLog, const TextCodec &codec, QObject *parent)
    : QObject(parent), m_host(host), m_firmwareHost(firmwareHost), m_port(port), m_hexLog(hexLog),
      m_codec(codec), m_paddedImage(FirmwareImage::pad({}))
{
    connect(&m_bootProbeTimer, &QTimer::timeout, this, &FirmwareUpdate::probeBootLoader);
    connect(&m_replyWatcher, &QTimer::timeout, this, &FirmwareUpdate::answerLoaderReplies);
    // The two limits run until their handler stops them, so that a handler
    // sees whether its limit was running.
    connect(&m_silence, &QTimer::timeout, this, &FirmwareUpdate::silenceExpired);
    connect(&m_port, &SerialLink::disconnected, this, &FirmwareUpdate::portLost);
    connect(&m_confirm, &QTimer::timeout, this, &FirmwareUpdate::confirmationExpired);
    // The loader did not reply to the frame on the wire in time: what it
    // holds of that frame is told by the journal as "no reply".
    m_stopBound.setSingleShot(true);
    connect(&m_stopBound, &QTimer::timeout, this, [this] {
        if (m_sessionRunning)
            endSession(Outcome::Stopped);
    });
    m_replyWatcher.start(scaled(ReplyWatchIntervalMs));
}

void FirmwareUpdate::setAnswerOnArrival(bool on)
{
    disconnect(m_arrivals);
    if (on) {
        m_replyWatcher.stop();
        m_arrivals =
            connect(&m_port, &SerialLink::received, this, &FirmwareUpdate::answerLoaderReplies);
    } else {
        m_replyWatcher.start(scaled(ReplyWatchIntervalMs));
    }
}

void FirmwareUpdate::showUpdating(bool updating)
{
    m_updating = updating;
    m_host.setCaption(Button::Update, updateCaption(updating));
}

int FirmwareUpdate::blockCount() const
{
    return FirmwareImage::blockCount(m_imageLength);
}

void FirmwareUpdate::openImage()
{
    Dialogs &dialogs = m_host.dialogs();
    // The dialog's name is emptied first: a name chosen for a settings file
    // is never offered as firmware.
    const QString fileName = dialogs.openFileName({FixedText::tr("打开"),
                                                   FixedText::tr("Bin文件(*.bin)"),
                                                   QCoreApplication::applicationDirPath(),
                                                   false,
                                                   {}});
    if (fileName.isEmpty())
        return;
    // The dialog waits for the user while the boot loader may be answered:
    // once it has the header, blocks of another image would be stored under
    // the length of this one.
    if (m_headerSent) {
        dialogs.message(
            FixedText::tr("An update is running; choose the firmware file when it has ended."));
        return;
    }
    const QString shownName = QDir::toNativeSeparators(fileName);

    // A file that cannot be read, or one the loader's header cannot describe,
    // leaves the image already chosen as it is.
    QFile file(fileName);
    QByteArray image;
    if (file.open(QIODevice::ReadOnly))
        image = file.read(FirmwareImage::MaximumLength + 1);
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        dialogs.message(FixedText::tr("Cannot read the firmware file ") + shownName +
                        QStringLiteral("\r\n") + file.errorString());
        return;
    }
    if (image.size() > FirmwareImage::MaximumLength) {
        dialogs.message(FixedText::tr("The firmware file %1 is too large: the boot loader takes "
                                      "at most %2 bytes.")
                            .arg(shownName, QString::number(FirmwareImage::MaximumLength)));
        return;
    }

    takeImage(fileName, image);
}

bool FirmwareUpdate::takeImage(const QString &fileName, const QByteArray &image)
{
    if (m_headerSent || image.size() > FirmwareImage::MaximumLength)
        return false;
    m_imageLength = static_cast<int>(image.size());
    m_imageFileName = fileName;
    m_image = image;
    m_host.settings().setStatusText(FixedText::tr("文件：") + QDir::toNativeSeparators(fileName));
    m_paddedImage = FirmwareImage::pad(image);
    m_firmwareHost.setProgressRange(0, blockCount());
    // The last session's figures are not this image's.
    m_firmwareHost.setProgressText({});
    m_blockIndex = 0;
    return true;
}

void FirmwareUpdate::startUpdate()
{
    DeviceView &view = m_host.settings();
    if (m_imageLength < FirmwareImage::MinimumLength) {
        view.setStatusText(chooseFirmware() + QStringLiteral("\r\n"));
        m_host.dialogs().message(chooseFirmware());
        return;
    }
    view.setStatusText(FixedText::tr("Please wait auto update.\r\n") +
                       waitCount(m_bootWaitCount, BootWaitTicks));

    if (m_updating) {
        m_port.close();
        showUpdating(false);
        return;
    }

    Delay(100);
    if (waitsStopped())
        return Q_EMIT finished(Outcome::Stopped);
    if (!beginSession())
        return;
    if (!sendLine(Commands::resetEeram()))
        return portFailure(Outcome::Failed);

    Flags &flags = m_host.flags();
    flags.eeramReset = false;
    bool reset = false;
    for (int attempt = 1; attempt <= ResetTries && !reset; ++attempt) {
        Delay(1000);
        if (!m_sessionRunning)
            return;
        if (waitsStopped())
            return endSession(Outcome::Stopped);
        if (flags.eeramReset) {
            view.appendStatus(FixedText::tr("\r\nreset eeram OK\r\n"));
            Delay(1000);
            if (waitsStopped())
                return endSession(Outcome::Stopped);
            reset = true;
        } else {
            view.setStatusText(FixedText::tr("Wait for reset eeram ") +
                               waitCount(attempt, ResetTries) + QStringLiteral("\r\n"));
        }
    }
    if (!reset) {
        view.setStatusText(FixedText::tr("Reset eeram fail,Please try again.\r\n"));
        showUpdating(false);
    }

    // From here on the device speaks as its boot loader: what the log holds
    // from before is no reply.
    resetHexLog();
    m_listening = true;
    // The loader that starts now has been sent no header and has not
    // answered, also when "update" is pressed again while the wait for an
    // earlier one goes on.
    m_headerSent = false;
    m_bootAnswered = false;
    Q_EMIT rebootSending();
    if (!sendLine(Commands::reboot()))
        return portFailure(Outcome::Failed);
    m_bootWaitCount = 0;
    if (m_port.isOpen())
        m_port.close();
    Delay(100);
    if (!m_sessionRunning)
        return;
    if (waitsStopped())
        return endSession(Outcome::Stopped);
    if (!SessionSupport::openPort(m_host, m_port))
        return portFailure(Outcome::Failed);
    m_bootProbeTimer.start(scaled(BootProbeIntervalMs));
}

bool FirmwareUpdate::beginSession()
{
    if (!SessionSupport::openPort(m_host, m_port)) {
        portFailure(Outcome::PortUnavailable);
        return false;
    }
    m_sessionRunning = true;
    m_failure.clear();
    m_frameInFlight = -1;
    m_blockAskedFor.reset();
    m_stopping = false;
    holdOtherCommands(true);
    m_transferClock.invalidate();
    showProgress(0);
    m_replyWatcher.setInterval(scaled(ReplyWatchIntervalMs));
    showUpdating(true);
    return true;
}

void FirmwareUpdate::startAtProbe()
{
    if (m_imageLength < FirmwareImage::MinimumLength || m_sessionRunning || !beginSession())
        return;
    resetHexLog();
    m_listening = true;
    m_headerSent = false;
    m_bootAnswered = false;
    m_bootWaitCount = 0;
    m_bootProbeTimer.start(scaled(BootProbeIntervalMs));
    probeBootLoader();
}

void FirmwareUpdate::resumeTransfer(int block, int bytesSent)
{
    const int count = blockCount();
    if (m_imageLength < FirmwareImage::MinimumLength || m_sessionRunning || block < 0 ||
        block >= count || bytesSent < 0 || bytesSent >= FirmwareImage::FrameSize || !beginSession())
        return;
    resetHexLog();
    m_listening = true;
    m_headerSent = true;
    m_bootAnswered = false;
    m_bootWaitCount = 0;
    // The reply to this frame asks for the next block.
    m_blockIndex = block + 1;
    Q_EMIT bootLoaderWaiting(true);
    m_frameInFlight = block;
    Q_EMIT frameSending(block);
    m_blockBuffer = FirmwareImage::frame(m_paddedImage, block);
    send(QByteArrayView(m_blockBuffer).sliced(bytesSent));
    m_transferClock.start();
    showProgress(block + 1);
    lockControls(true);
    if (m_blockIndex == count) {
        startConfirming();
        return;
    }
    m_silenceLine = tr("Update fail, no answer from the boot loader within 10 s of a block");
    m_silence.start(scaled(BlockSilenceMs));
}

void FirmwareUpdate::stop()
{
    if (!m_sessionRunning || m_stopping)
        return;
    // Before the header the loader holds nothing of the image.
    if (!m_headerSent)
        return endSession(Outcome::Stopped);
    m_stopping = true;
    m_silence.stop();
    m_confirm.stop();
    m_stopBound.start(StopReplyMs);
}

void FirmwareUpdate::probeBootLoader()
{
    ++m_bootWaitCount;
    // Once the loader has the header, the power warning stays where it is.
    if (!m_headerSent) {
        m_host.settings().setStatusText(FixedText::tr("Wait for update\r\n") +
                                        waitCount(m_bootWaitCount, BootWaitTicks));
        m_host.setStepText(waitCount(m_bootWaitCount, BootWaitTicks));
    }

    if (m_bootAnswered || m_bootWaitCount >= BootWaitTicks) {
        m_bootProbeTimer.stop();
        showUpdating(false);
        m_bootAnswered = false;
        // The tenth second ends the session even when the loader answered in
        // it: the header has gone, but the port is closed under it.
        if (m_bootWaitCount >= BootWaitTicks) {
            m_port.close();
            m_failure = FixedText::tr("Connect fail, Please try again.");
            m_host.settings().appendStatusLine(m_failure);
            endSession(Outcome::Failed);
        }
        return;
    }

    resetHexLog();
    m_blockIndex = 0;
    send(FirmwareImage::probe());
}

void FirmwareUpdate::answerLoaderReplies()
{
    const int count = blockCount();
    const Reply reply = takeReply();
    if (m_stopping) {
        // The reply says what the loader holds; nothing more goes out.
        if (reply == Reply::NextBlock)
            m_blockAskedFor = m_blockIndex;
        else if (reply == Reply::SameBlock)
            m_blockAskedFor = std::max(0, m_frameInFlight);
        if (reply == Reply::NextBlock || reply == Reply::SameBlock)
            endSession(Outcome::Stopped);
        return;
    }
    switch (reply) {
    case Reply::Answered:
        // After the last block any answer but "send it again" is the loader
        // taking it.
        if (m_confirming)
            return complete();
        if (const auto header = FirmwareImage::header(m_imageLength))
            send(*header);
        if (!m_headerSent) {
            m_host.settings().appendStatusLine(tr("updating，don't remove power"));
            Q_EMIT bootLoaderWaiting(true);
        }
        m_bootAnswered = true;
        m_headerSent = true;
        m_sameBlockAsks = 0;
        m_silenceLine = tr("Update fail, no answer from the boot loader within 30 s of the header");
        m_silence.start(scaled(HeaderSilenceMs));
        break;
    case Reply::NextBlock:
        if (m_confirming)
            return complete();
        m_sameBlockAsks = 0;
        if (m_blockIndex < count) {
            sendFrame(m_blockIndex);
            ++m_blockIndex;
        }
        m_silenceLine = tr("Update fail, no answer from the boot loader within 10 s of a block");
        m_silence.start(scaled(BlockSilenceMs));
        break;
    case Reply::SameBlock: {
        // The loader asks again for the block it has just received: the one
        // counted last, or block 0 when none has been counted.
        const int block = std::max(0, m_blockIndex - 1);
        if (++m_sameBlockAsks >= ResendLimit)
            return fail(tr("Update fail, the boot loader asked for block %2 again %1 times")
                            .arg(ResendLimit)
                            .arg(block));
        sendFrame(block);
        if (m_confirming)
            startConfirming();
        else
            m_silence.start(scaled(BlockSilenceMs));
        break;
    }
    case Reply::None:
        break;
    }

    if (!m_sessionRunning)
        return;
    if (m_blockIndex >= 1 && m_blockIndex < count) {
        lockControls(true);
        m_firmwareHost.setNoticeText(progressLine(FixedText::tr("updating，don't remove power")));
    }
    if (m_blockIndex == count && !m_confirming)
        startConfirming();
}

void FirmwareUpdate::sendFrame(int index)
{
    m_blockBuffer = FirmwareImage::frame(m_paddedImage, index);
    if (m_blockBuffer.isEmpty())
        return;
    m_frameInFlight = index;
    m_blockAskedFor.reset();
    Q_EMIT frameSending(index);
    send(m_blockBuffer);
    if (!m_transferClock.isValid())
        m_transferClock.start();
    showProgress(std::max(m_blockIndex, index + 1));
}

void FirmwareUpdate::startConfirming()
{
    // The port stays open until the loader has had its say on the last block:
    // its time on the wire, then ConfirmMs.
    constexpr int FrameWireMs = FirmwareImage::FrameSize * LineBitsPerByte * 1000 / LineSpeed + 1;
    m_confirming = true;
    m_silence.stop();
    m_confirm.start(FrameWireMs + scaled(ConfirmMs));
}

FirmwareUpdate::Reply FirmwareUpdate::takeReply()
{
    if (!m_sessionRunning || !m_listening)
        return Reply::None;
    // Before the header only the first byte counts, and only as the answer
    // to the probe: a loader asks for blocks once it knows the image's length.
    // After the header the loader speaks in reply bytes only, so a byte it
    // did not send is skipped rather than left to block every reply behind it.
    const QString log = m_hexLog.front(m_headerSent ? HexLog::FrontKeep : 2);
    for (qsizetype at = 0; at + 2 <= log.size(); at += 2) {
        const QStringView pair = QStringView(log).mid(at, 2);
        Reply reply = Reply::None;
        if (pair == u"E5")
            reply = Reply::Answered;
        else if (m_headerSent && pair == u"C5")
            reply = Reply::NextBlock;
        else if (m_headerSent && pair == u"55")
            reply = Reply::SameBlock;
        if (reply != Reply::None) {
            // Any reply behind this one is dropped with it: one answer a tick.
            resetHexLog();
            return reply;
        }
    }
    return Reply::None;
}

void FirmwareUpdate::resetHexLog()
{
    m_hexLog.setText(QStringLiteral("  "));
    Q_EMIT hexLogReset();
}

bool FirmwareUpdate::send(QByteArrayView bytes)
{
    return m_port.send(bytes);
}

bool FirmwareUpdate::sendLine(const QString &line)
{
    return m_port.send(m_codec.encode(line));
}

void FirmwareUpdate::portFailure(Outcome outcome)
{
    m_failure = FixedText::tr("Port is use or no");
    m_host.dialogs().message(m_failure);
    // A session whose boot loader is already being waited for or answered
    // goes on; only the one this press began ends here.
    if (!m_bootProbeTimer.isActive() && !m_headerSent)
        endSession(outcome);
}

void FirmwareUpdate::lockControls(bool locked)
{
    m_host.setEnabled(Button::OpenRom, !locked);
    m_host.setEnabled(Button::Update, !locked);
    m_firmwareHost.setPortControlsEnabled(!locked);
}

QString FirmwareUpdate::progressLine(const QString &state) const
{
    return state + FixedText::tr(" update step:") +
           QString::number(FirmwareImage::percentage(m_blockIndex, blockCount())) +
           QStringLiteral("%");
}

QString FirmwareUpdate::progressText(int sent, int count, std::optional<qint64> sinceFirstBlockMs)
{
    const int percent = FirmwareImage::percentage(sent, count);
    // The loader has taken every block sent but the last, which is on its way.
    const int taken = sent - 1;
    if (!sinceFirstBlockMs || taken < 1 || count <= taken)
        return tr("%1 %").arg(percent);
    const qint64 leftMs = *sinceFirstBlockMs * (count - taken) / taken;
    const qint64 seconds = (leftMs + 999) / 1000;
    return tr("%1 % — %2 left")
        .arg(percent)
        .arg(QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void FirmwareUpdate::showProgress(int sent)
{
    m_shownBlocks = sent;
    m_firmwareHost.setProgressValue(sent);
    std::optional<qint64> since;
    if (m_transferClock.isValid())
        since = m_transferClock.elapsed();
    m_firmwareHost.setProgressText(progressText(sent, blockCount(), since));
}

void FirmwareUpdate::holdOtherCommands(bool hold)
{
    if (hold) {
        m_heldCommands.clear();
        for (Button button : {Button::Read, Button::Write, Button::Apply, Button::Restart,
                              Button::Default, Button::Save, Button::Load}) {
            m_heldCommands.append({button, m_host.isEnabled(button)});
            m_host.setEnabled(button, false);
        }
        return;
    }
    for (const auto &[button, enabled] : std::as_const(m_heldCommands))
        m_host.setEnabled(button, enabled);
    m_heldCommands.clear();
}

void FirmwareUpdate::complete()
{
    if (!m_sessionRunning)
        return;
    m_firmwareHost.setNoticeText(progressLine(FixedText::tr("update complete")));
    m_transferClock.invalidate();
    showProgress(blockCount());
    m_host.settings().appendStatusLine(tr("update complete"));
    showUpdating(false);
    // Before the close, which lets events run while it drains.
    Q_EMIT bootLoaderWaiting(false);
    endSession(Outcome::Completed);
}

void FirmwareUpdate::fail(const QString &line)
{
    m_failure = line;
    m_host.settings().appendStatusLine(line);
    showUpdating(false);
    endSession(Outcome::Failed);
}

void FirmwareUpdate::silenceExpired()
{
    if (!m_silence.isActive())
        return;
    m_silence.stop();
    // While the loader is still probed, its tenth second ends the wait.
    if (!m_sessionRunning || m_bootProbeTimer.isActive())
        return;
    fail(m_silenceLine);
}

void FirmwareUpdate::confirmationExpired()
{
    if (!m_confirm.isActive())
        return;
    m_confirm.stop();
    complete();
}

void FirmwareUpdate::portLost()
{
    if (!m_sessionRunning)
        return;
    SessionSupport::reportLoss(m_host, m_port);
    m_failure = SessionSupport::SessionText::tr("Port %1 was disconnected").arg(m_port.portName());
    m_host.dialogs().message(FixedText::tr("Port is use or no"));
    showUpdating(false);
    endSession(Outcome::Failed);
}

void FirmwareUpdate::endSession(Outcome outcome)
{
    // Everything that could answer the loader stops before the port closes:
    // the close waits for the wire, and handlers run meanwhile.
    // A stopped session leaves the button ready for the next one.
    if (outcome == Outcome::Stopped)
        showUpdating(false);
    m_bootProbeTimer.stop();
    m_silence.stop();
    m_confirm.stop();
    m_stopBound.stop();
    m_stopping = false;
    m_bootAnswered = false;
    m_sessionRunning = false;
    m_listening = false;
    m_headerSent = false;
    m_confirming = false;
    m_sameBlockAsks = 0;
    m_blockIndex = 0;
    // A transfer cut short keeps its share on the bar, without a time left.
    if (m_transferClock.isValid()) {
        m_transferClock.invalidate();
        showProgress(m_shownBlocks);
    }
    if (m_port.isOpen())
        m_port.close();
    lockControls(false);
    holdOtherCommands(false);
    Q_EMIT finished(outcome);
}

} // namespace telx5
