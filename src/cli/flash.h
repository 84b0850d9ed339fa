#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace telx5 {

class ConsoleHost;
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

// The firmware image in `fileName`, read whole and judged before anything is
// sent; nothing, after a line that names the file and the reason, when the
// boot loader cannot take it. A named FIFO is refused without waiting for a
// writer; a pipe that is open already (/dev/fd/N from `<(…)`, /dev/stdin) is
// read as its bytes come, with the event loop running, so that a signal
// reaches the wait.
std::optional<FirmwareFile> readImage(const QString &fileName);

// Uploads `image` to the boot loader of the device on the host's port, with
// progress and a summary on standard error. A receiver must already feed
// `port` into `hexLog`, so that the loader's replies are in the log when the
// update looks; each reply is answered as it arrives.
// `onBootLoader` hears when the loader starts waiting for the image, and when
// it has taken the last block.
FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const FirmwareFile &image,
                       const std::function<void(bool waiting)> &onBootLoader = {});
// The same for the image in `fileName`, read by readImage.
FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const QString &fileName);

} // namespace telx5
