// The firmware update against a boot loader the input plays: reply bytes,
// the watcher's and the probe's ticks, the two time limits running out, a
// pulled cable, a port that refuses to open, and the update button pressed
// again (cancel, or a new session after one ended), for an image of 5000 to
// about 16000 bytes; answered on the watcher's tick or on arrival.
//
// Oracles: every frame sent is "AT+RESET#", "REBOOT#", a probe, the header
// for this image, or a 2049-byte block whose checksum is right and whose
// bytes are the image's (0xFF past its end) at the block the session is at;
// no block goes out before the session's header; the block index stays in
// range; an update that says complete has sent its header and every block.

#include "delay.h"
#include "fakehost.h"
#include "fakelink.h"
#include "firmwarehost.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "fuzzsupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>

using namespace telx5;

namespace {

const QByteArray ResetLine = QByteArrayLiteral("AT+RESET#\r\n");
const QByteArray RebootLine = QByteArrayLiteral("REBOOT#\r\n");

class Host final : public testing::FakeHost, public FirmwareHost
{
public:
    using FakeHost::FakeHost;

    void setProgressRange(int, int) override {}
    void setProgressValue(int) override {}
    void setNoticeText(const QString &) override {}
    void setPortControlsEnabled(bool) override {}
};

enum class Action
{
    Replies,
    WatcherTick,
    ProbeTick,
    Silence,
    Confirmation,
    PullCable,
    PressUpdate,
    RefuseOpen,
    Count
};

struct Rig
{
    explicit Rig(const QByteArray &image)
        : image(image), host(link),
          update(host, host, link, host.chain.hexLog(), host.chain.codec())
    {
        link.onSend = [this](QByteArrayView bytes) { sent(bytes); };
        QObject::connect(&update, &FirmwareUpdate::finished, &update,
                         [this](FirmwareUpdate::Outcome outcome) { finished(outcome); });
    }

    int blockCount() const { return int(image.size() / FirmwareImage::BlockSize) + 1; }

    // The header computed here, not by the code under test.
    QByteArray header() const
    {
        const qsizetype length = image.size();
        QByteArray bytes;
        bytes.append('\x5E');
        bytes.append(char((length % FirmwareImage::BlockSize) / 256));
        bytes.append(char(length % 256));
        bytes.append(char(length / FirmwareImage::BlockSize));
        bytes.append('\xE5');
        return bytes;
    }

    bool isBlock(QByteArrayView frame, int index) const
    {
        if (index < 0 || index >= blockCount())
            return false;
        const qsizetype offset = qsizetype(index) * FirmwareImage::BlockSize;
        for (qsizetype i = 0; i < FirmwareImage::BlockSize; ++i) {
            const char expected = offset + i < image.size() ? image.at(offset + i) : '\xFF';
            if (frame[i] != expected)
                return false;
        }
        return true;
    }

    void sent(QByteArrayView bytes)
    {
        if (bytes == ResetLine) {
            // The device resets its settings store.
            QTimer::singleShot(0, &link, [this] { link.arrive("eeram reset\r\n"); });
            return;
        }
        if (bytes == RebootLine || bytes == FirmwareImage::probe())
            return;
        if (bytes == header()) {
            headerSent = true;
            return;
        }
        if (bytes.size() != FirmwareImage::FrameSize)
            fuzz::fail("a frame is a line, a probe, the header or a block",
                       QString::fromLatin1(bytes.toByteArray().toHex(' ')));
        unsigned char sum = 0;
        for (qsizetype i = 0; i < FirmwareImage::BlockSize; ++i)
            sum ^= static_cast<unsigned char>(bytes[i]);
        if (sum != static_cast<unsigned char>(bytes[FirmwareImage::BlockSize]))
            fuzz::fail("a block's checksum is the XOR of its bytes");
        // The block the session is at: the next one, or the last one again.
        const int at = update.blockIndex();
        const int index = isBlock(bytes, at) ? at : at - 1;
        if (!isBlock(bytes, index))
            fuzz::fail("a block holds the image's bytes for its index",
                       QStringLiteral("index %1 of %2").arg(at).arg(blockCount()));
        if (!headerSent)
            fuzz::fail("no block before the header", QStringLiteral("block %1").arg(index));
        blocksSent.insert(index);
    }

    void finished(FirmwareUpdate::Outcome outcome)
    {
        if (outcome == FirmwareUpdate::Outcome::Completed &&
            (!headerSent || blocksSent.size() != blockCount()))
            fuzz::fail("a complete update has sent the header and every block",
                       QStringLiteral("header %1, %2 of %3 blocks")
                           .arg(headerSent)
                           .arg(blocksSent.size())
                           .arg(blockCount()));
        headerSent = false;
        blocksSent.clear();
    }

    QByteArray image;
    testing::FakeLink link;
    Host host;
    FirmwareUpdate update;
    bool headerSent = false;
    QSet<int> blocksSent;
};

// Mostly the loader's three reply bytes, sometimes any byte.
char replyByte(FuzzedDataProvider &input)
{
    static constexpr unsigned char Replies[] = {
        FirmwareImage::ReplyAnswered, FirmwareImage::ReplyNextBlock, FirmwareImage::ReplySameBlock};
    const auto pick = input.ConsumeIntegralInRange<int>(0, 3);
    return pick < 3 ? char(Replies[pick]) : input.ConsumeIntegral<char>();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::ensureApplication();
    // Every protocol wait in the session lasts a millisecond or two.
    setDelayTimeScale(0.001);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString fileName = dir.filePath(QStringLiteral("firmware.bin"));

    FuzzedDataProvider input(data, size);
    const bool onArrival = input.ConsumeBool();
    const auto blocks = input.ConsumeIntegralInRange<qsizetype>(2, 7);
    const auto remainder = input.ConsumeIntegralInRange<qsizetype>(0, FirmwareImage::BlockSize - 1);
    const auto seed = input.ConsumeIntegral<unsigned char>();
    QByteArray image(
        std::max(FirmwareImage::MinimumLength, blocks * FirmwareImage::BlockSize + remainder),
        '\0');
    for (qsizetype i = 0; i < image.size(); ++i)
        image[i] = char(i * (seed | 1) + i / FirmwareImage::BlockSize);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        fuzz::fail("the temporary image cannot be written", fileName);
    file.close();

    Rig rig(image);
    rig.host.port = QStringLiteral("/dev/ttyFUZZ");
    rig.host.dialogState.fileToChoose = fileName;
    rig.update.openImage();
    rig.update.setAnswerOnArrival(onArrival);
    rig.update.startUpdate();

    while (input.remaining_bytes() > 0) {
        switch (Action(input.ConsumeIntegralInRange<int>(0, int(Action::Count) - 1))) {
        case Action::Replies: {
            QByteArray replies;
            for (int n = input.ConsumeIntegralInRange<int>(1, 4); n > 0; --n)
                replies.append(replyByte(input));
            rig.link.arrive(replies);
            break;
        }
        case Action::WatcherTick:
            // The watcher does not tick while replies are answered on arrival.
            if (!onArrival)
                rig.update.answerLoaderReplies();
            break;
        case Action::ProbeTick:
            if (rig.update.waitingForBootLoader())
                rig.update.probeBootLoader();
            break;
        case Action::Silence:
            rig.update.silenceExpired();
            break;
        case Action::Confirmation:
            rig.update.confirmationExpired();
            break;
        case Action::PullCable:
            rig.link.pull();
            break;
        case Action::PressUpdate:
            if (rig.host.isEnabled(Button::Update))
                rig.update.startUpdate();
            break;
        case Action::RefuseOpen:
            rig.link.refuseOpen = !rig.link.refuseOpen;
            break;
        case Action::Count:
            break;
        }
        if (rig.update.blockIndex() < 0 || rig.update.blockIndex() > rig.blockCount())
            fuzz::fail("the block index stays in range", QString::number(rig.update.blockIndex()));
    }
    return 0;
}
