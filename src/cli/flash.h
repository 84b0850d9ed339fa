#pragma once

#include "firmwarehost.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <optional>

namespace telx5 {

class ConsoleHost;
class FirmwareUpdate;
class HexLog;
class SerialLink;
class TextCodec;

// How telx5-cli flash ends.
enum FlashExit
{
    FlashDone = 0,
    FlashDeviceFailed = 1, // no boot loader, silence, a block refused, the cable pulled
    FlashBadImage = 2,     // nothing was sent
    FlashPortUnavailable = 3,
};

struct FlashResult
{
    int exitCode = FlashDeviceFailed;
    // From the first block sent to the loader's verdict on the last one.
    double transferSeconds = 0;
};

// A firmware image as telx5-cli reads it: once, before the port opens.
struct FirmwareFile
{
    QString fileName;
    QByteArray image;
    // It came through a pipe, and cannot be read again.
    bool fromPipe = false;
};

// The window's progress bar on standard error: the share of the image sent,
// its pace and the time left.
class FlashProgress : public FirmwareHost
{
public:
    explicit FlashProgress(qsizetype imageBytes);

    // The image's size, once it is known (recover reads the journal's file).
    void setImageBytes(qsizetype bytes) { m_imageBytes = bytes; }
    void setProgressRange(int, int) override {}
    void setProgressValue(int blocksSent) override;
    void setNoticeText(const QString &) override {}
    void setPortControlsEnabled(bool) override {}

    bool started() const { return m_firstNs >= 0; }
    qsizetype imageBytes() const { return m_imageBytes; }
    qsizetype sentBytes() const { return m_sent; }
    // Seconds from the first block to the loader's verdict on the last one
    // (markDone), or to now.
    double seconds() const;
    void markDone();

private:
    QString line(qint64 now) const;

    qsizetype m_imageBytes;
    const bool m_terminal;
    QElapsedTimer m_clock;
    qsizetype m_sent = 0;
    qint64 m_firstNs = -1;
    qint64 m_doneNs = -1;
    qsizetype m_firstBytes = 0;
    qint64 m_shownNs;
    int m_nextLogPercent;
};

// After a transfer: "Flashed N bytes in S s: …" when the loader took the last
// block, otherwise how much of the image had been sent.
void printFlashSummary(const FlashProgress &progress, bool completed);
// Prints the summary the moment the loader takes the last block of
// `update`'s session, before anything that follows it.
void summariseOnCompletion(FirmwareUpdate &update, FlashProgress &progress);

// The firmware image in `fileName`, read whole and judged before anything is
// sent; nothing, after a line that names the file and the reason, when the
// boot loader cannot take it. A named FIFO is refused without waiting for a
// writer; a pipe that is open already (/dev/fd/N from `<(…)`, /dev/stdin) is
// read as its bytes come, with the event loop running, so that a signal
// reaches the wait.
std::optional<FirmwareFile> readImage(const QString &fileName);

// The transfer alone, as the benchmark measures it: `image` uploaded to the
// boot loader of the device on the host's port, with progress and a summary
// on standard error, and no settings read or written back (`flash` runs it
// inside an update job). A receiver must already feed `port` into `hexLog`,
// so that the loader's replies are in the log when the update looks; each
// reply is answered as it arrives.
FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const FirmwareFile &image);
// The same for the image in `fileName`, read by readImage.
FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const QString &fileName);

} // namespace telx5
