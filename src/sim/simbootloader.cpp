#include "simdevice_p.h"

namespace telx5 {

namespace {

constexpr qsizetype FrameSize = 2049;
constexpr qsizetype BlockSize = 2048;
constexpr char Probe[] = {'\x5F', '\x00', '\x00', '\xF5'};
constexpr char AnswerProbe = '\xE5';
constexpr char AnswerStored = '\xC5';
constexpr char AnswerSendAgain = '\x55';

char xorOf(QByteArrayView data)
{
    char sum = 0;
    for (const char byte : data)
        sum = static_cast<char>(sum ^ byte);
    return sum;
}

} // namespace

void SimDevice::Private::enterBootLoader()
{
    bootState = BootState::WaitProbe;
    bootInput.clear();
    if (bootWindowMs != Never)
        bootWindow.start(bootWindowMs);
}

void SimDevice::Private::handleBoot(char byte)
{
    if (silent || bootState == BootState::Silent)
        return;
    bootInput.append(byte);
    const QByteArrayView probe(Probe, sizeof Probe);

    if (bootState == BootState::WaitProbe || bootState == BootState::WaitHeader) {
        // Text lines that follow "REBOOT#" and anything else before a frame
        // the loader knows are skipped.
        if (bootInput.endsWith(probe)) {
            bootWindow.stop();
            bootInput.clear();
            bootState = BootState::WaitHeader;
            bootReply(AnswerProbe);
            return;
        }
        if (bootState == BootState::WaitProbe) {
            if (bootInput.size() > probe.size())
                bootInput.remove(0, bootInput.size() - probe.size());
            return;
        }
        const qsizetype start = bootInput.indexOf('\x5E');
        if (start < 0) {
            bootInput = bootInput.right(probe.size() - 1);
            return;
        }
        if (bootInput.size() - start < 5)
            return;
        const QByteArray header = bootInput.mid(start, 5);
        if (static_cast<unsigned char>(header.at(4)) != 0xE5) {
            bootInput.remove(0, start + 1);
            return;
        }
        const auto at = [&header](int i) { return static_cast<unsigned char>(header.at(i)); };
        imageLength = at(3) * int(BlockSize) + at(1) * 256 + at(2);
        blockCount = at(3) + 1;
        blocksStored = 0;
        resendDone = false;
        image.clear();
        bootInput.clear();
        bootState = BootState::Blocks;
        bootReply(AnswerStored);
        return;
    }

    if (bootInput.size() < FrameSize)
        return;
    const QByteArrayView data(bootInput.constData(), BlockSize);
    const bool resend = blocksStored == resendBlock && !resendDone;
    if (resend || xorOf(data) != bootInput.at(BlockSize)) {
        resendDone = resendDone || resend;
        bootInput.clear();
        bootReply(AnswerSendAgain, blockDelayMs);
        return;
    }
    image.append(data);
    bootInput.clear();
    const int stored = blocksStored++;
    if (blocksStored == blockCount) {
        // The loader starts the new firmware without a reply.
        lastImage = image.left(imageLength);
        Q_EMIT q->bootImageReceived(lastImage);
        setMode(Mode::Setup);
        return;
    }
    if (stored == silentAfterBlock) {
        bootState = BootState::Silent;
        return;
    }
    bootReply(AnswerStored, blockDelayMs);
}

void SimDevice::Private::bootReply(char byte, int delayMs)
{
    if (!randomReplies || bootState != BootState::Blocks) {
        enqueue(QByteArray(1, byte), delayMs);
        return;
    }
    const auto noise = [this] {
        QByteArray bytes(randomReplies->bounded(4), Qt::Uninitialized);
        for (char &b : bytes)
            b = static_cast<char>(randomReplies->bounded(256));
        return bytes;
    };
    QByteArray reply = noise();
    reply += byte;
    reply += noise();
    enqueue(reply, delayMs);
}

} // namespace telx5
