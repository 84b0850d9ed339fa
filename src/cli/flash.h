#pragma once

#include <QString>

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

// The length of the firmware image in `fileName`, judged before anything is
// sent; nothing, after a line that names the file and the reason, when the
// boot loader cannot take it.
std::optional<qsizetype> checkedImageSize(const QString &fileName);

// Uploads the firmware image in `fileName` to the boot loader of the device
// on the host's port, with progress and a summary on standard error. A
// receiver must already feed `port` into `hexLog`, so that the loader's replies
// are in the log when the update looks.
FlashResult flashImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog, const TextCodec &codec,
                       const QString &fileName);
// The same for an image that checkedImageSize has judged to be `imageBytes`
// long.
FlashResult flashCheckedImage(ConsoleHost &host, SerialLink &port, HexLog &hexLog,
                              const TextCodec &codec, const QString &fileName,
                              qsizetype imageBytes);

} // namespace telx5
