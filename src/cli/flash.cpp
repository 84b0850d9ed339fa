#include "flash.h"

#include "consolehost.h"
#include "delay.h"
#include "firmwarehost.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "namedfile.h"
#include "seriallink.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace telx5 {

namespace {

// A terminal's line is redrawn at most this often; a log gets a line for
// every tenth of the image, at most one each half second.
constexpr qint64 RedrawNs = 100'000'000;
constexpr qint64 LogLineNs = 500'000'000;
constexpr int LogStepPercent = 10;
// How often a read from a pipe looks whether a signal stopped the command.
constexpr int StopLookMs = 50;

} // namespace

FlashProgress::FlashProgress(qsizetype imageBytes)
    : m_imageBytes(imageBytes), m_terminal(::isatty(STDERR_FILENO) == 1), m_shownNs(-LogLineNs),
      m_nextLogPercent(LogStepPercent)
{
    m_clock.start();
}

void FlashProgress::setProgressValue(int blocksSent)
{
    // 0 marks the start of a session, before the loader has asked for a block.
    if (blocksSent <= 0 || m_imageBytes <= 0)
        return;
    const qint64 now = m_clock.nsecsElapsed();
    m_sent = std::min(qsizetype(blocksSent) * FirmwareImage::BlockSize, m_imageBytes);
    if (m_firstNs < 0) {
        m_firstNs = now;
        m_firstBytes = m_sent;
    }
    const int percent = int(100 * m_sent / m_imageBytes);
    if (m_terminal) {
        if (now - m_shownNs < RedrawNs && percent < 100)
            return;
        redrawLine(line(now));
    } else {
        // The summary stands for the last step.
        if (percent < m_nextLogPercent || percent >= 100 || now - m_shownNs < LogLineNs)
            return;
        printLine(line(now));
        m_nextLogPercent = (percent / LogStepPercent + 1) * LogStepPercent;
    }
    m_shownNs = now;
}

double FlashProgress::seconds() const
{
    const qint64 end = m_doneNs >= 0 ? m_doneNs : m_clock.nsecsElapsed();
    return started() ? double(end - m_firstNs) / 1e9 : 0;
}

void FlashProgress::markDone()
{
    m_doneNs = m_clock.nsecsElapsed();
}

void summariseOnCompletion(FirmwareUpdate &update, FlashProgress &progress)
{
    QObject::connect(&update, &FirmwareUpdate::bootLoaderWaiting, &update,
                     [&progress](bool waiting) {
                         if (waiting)
                             return;
                         progress.markDone();
                         printFlashSummary(progress, true);
                     });
}

QString FlashProgress::line(qint64 now) const
{
    QString text = QStringLiteral("%1 %  %2 of %3 bytes")
                       .arg(100 * m_sent / m_imageBytes, 3)
                       .arg(m_sent)
                       .arg(m_imageBytes);
    // The first block has only just gone: no pace yet.
    if (m_sent == m_firstBytes || now == m_firstNs)
        return text;
    const double rate = double(m_sent - m_firstBytes) * 1e9 / double(now - m_firstNs);
    return text + QStringLiteral("  %1 bytes/s  %2 s left")
                      .arg(qRound(rate))
                      .arg(qRound(double(m_imageBytes - m_sent) / rate));
}

namespace {

// Reads from `fd` until its end or `limit` bytes; says why not, or nothing.
// A pipe is read as its bytes come, with the event loop running, so that a
// signal reaches the wait for its writer.
QString readUpTo(int fd, qsizetype limit, bool pipe, QByteArray &bytes)
{
    QString error;
    const auto readSome = [&] {
        char buffer[65536];
        const auto wanted = std::min<qsizetype>(qsizetype(sizeof buffer), limit - bytes.size());
        const ssize_t got = ::read(fd, buffer, size_t(wanted));
        if (got > 0)
            bytes.append(buffer, got);
        else if (got < 0 && errno != EINTR)
            error = QString::fromLocal8Bit(std::strerror(errno));
        return got == 0 || !error.isEmpty() || bytes.size() >= limit;
    };
    if (!pipe) {
        while (!readSome()) {
        }
        return error;
    }
    QEventLoop loop;
    QSocketNotifier readable(fd, QSocketNotifier::Read);
    QObject::connect(&readable, &QSocketNotifier::activated, &loop, [&] {
        if (readSome()) {
            readable.setEnabled(false);
            loop.quit();
        }
    });
    // A signal stops the command while the pipe's writer keeps it waiting.
    QTimer stopped;
    QObject::connect(&stopped, &QTimer::timeout, &loop, [&] {
        if (!waitsStopped())
            return;
        error = QStringLiteral("stopped by a signal");
        loop.quit();
    });
    stopped.start(StopLookMs);
    loop.exec();
    return error;
}

} // namespace

void printFlashSummary(const FlashProgress &progress, bool completed)
{
    const qsizetype imageBytes = progress.imageBytes();
    if (completed) {
        const double seconds = progress.seconds();
        const double rate = double(imageBytes) / seconds;
        printLine(QStringLiteral("Flashed %1 bytes in %2 s: %3 bytes/s, %4 % of the line's %5 "
                                 "bytes/s")
                      .arg(imageBytes)
                      .arg(seconds, 0, 'f', 2)
                      .arg(qRound(rate))
                      .arg(100 * rate / LineBytesPerSecond, 0, 'f', 1)
                      .arg(LineBytesPerSecond));
    } else if (progress.started()) {
        printLine(QStringLiteral("telx5-cli: the flash stopped after sending %1 of %2 bytes")
                      .arg(progress.sentBytes())
                      .arg(imageBytes));
    }
}

// The window takes a short file and refuses it only when "update" is pressed,
// with a box that names neither the file nor the reason. Here the file is
// judged before anything is sent, and the message says why.
std::optional<FirmwareFile> readImage(const QString &fileName)
{
    const auto refuse = [&fileName](const QString &why) {
        printLine(QStringLiteral("telx5-cli: the firmware file %1 %2").arg(fileName, why));
        return std::nullopt;
    };
    const NamedFile opened = openNamedFile(fileName, FileAccess::Read);
    if (opened.fd < 0)
        return refuse(QStringLiteral("cannot be read: ") + opened.error);
    FirmwareFile file{fileName, {}, opened.pipe};
    struct stat status = {};
    const QString error =
        ::fstat(opened.fd, &status) == 0
            ? readUpTo(opened.fd, FirmwareImage::MaximumLength + 1, opened.pipe, file.image)
            : QString::fromLocal8Bit(std::strerror(errno));
    ::close(opened.fd);
    if (!error.isEmpty())
        return refuse(QStringLiteral("cannot be read: ") + error);
    if (file.image.size() < FirmwareImage::MinimumLength) {
        return refuse(QStringLiteral("is too short: %1 bytes, firmware has at least %2")
                          .arg(file.image.size())
                          .arg(FirmwareImage::MinimumLength));
    }
    if (file.image.size() > FirmwareImage::MaximumLength) {
        // A pipe's bytes beyond the limit were never read.
        const QString size =
            file.fromPipe ? QStringLiteral("more than %1").arg(FirmwareImage::MaximumLength)
                          : QString::number(std::max<qsizetype>(status.st_size, file.image.size()));
        return refuse(QStringLiteral("is too large: %1 bytes, the boot loader takes at most %2")
                          .arg(size)
                          .arg(FirmwareImage::MaximumLength));
    }
    return file;
}

FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const QString &fileName)
{
    const std::optional<FirmwareFile> image = readImage(fileName);
    if (!image)
        return {FlashBadImage};
    return flashImage(host, port, hexLog, codec, *image);
}

FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const FirmwareFile &image)
{
    const qsizetype imageBytes = image.image.size();
    FlashProgress progress(imageBytes);
    FirmwareUpdate update(host, progress, port, hexLog, codec);
    update.setAnswerOnArrival(true);
    if (!update.takeImage(image.fileName, image.image))
        return {FlashBadImage};
    std::optional<FirmwareUpdate::Outcome> outcome;
    QEventLoop loop;
    QObject::connect(&update, &FirmwareUpdate::finished, &loop, [&](FirmwareUpdate::Outcome ended) {
        outcome = ended;
        loop.quit();
    });
    // A port that does not open ends the session before startUpdate returns.
    update.startUpdate();
    if (!outcome && update.sessionRunning())
        loop.exec();

    const bool completed = outcome == FirmwareUpdate::Outcome::Completed;
    printFlashSummary(progress, completed);
    if (completed)
        return {FlashDone, progress.seconds()};
    if (outcome == FirmwareUpdate::Outcome::PortUnavailable)
        return {FlashPortUnavailable};
    return {FlashDeviceFailed};
}

} // namespace telx5
