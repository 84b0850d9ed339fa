#include "simdevice_p.h"

namespace telx5 {

namespace {

constexpr qsizetype FrameSize = 2049;
constexpr qsizetype BlockSize = 2048;
constexpr char Probe[] = {'\x5F', '\x00', '\x00', '\xF5'};
constexpr char AnswerProbe = '\xE5';
constexpr char AnswerStored = '\xC5';
constexpr char AnswerSendAgain = '\x55';
constexpr qsizetype HeaderSize = 5;
constexpr char HeaderStart = '\x5E';
constexpr char HeaderEnd = '\xE5';

char xorOf(QByteArrayView data)
{
    char sum = 0;
    for (const char byte : data)
        sum = static_cast<char>(sum ^ byte);
    return sum;
}

QString hex(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.toByteArray().toHex(' ').toUpper());
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
    switch (bootState) {
    case BootState::WaitProbe:
        waitForProbe();
        break;
    case BootState::WaitHeader:
        takeHeader();
        break;
    case BootState::Blocks:
        takeFrame();
        break;
    case BootState::Silent:
        break;
    }
}

void SimDevice::Private::waitForProbe()
{
    // Text lines that follow "REBOOT#" and anything else before the probe
    // are skipped.
    const QByteArrayView probe(Probe, sizeof Probe);
    if (bootInput.endsWith(probe))
        answerProbe();
    else if (bootInput.size() > probe.size())
        bootInput.remove(0, bootInput.size() - probe.size());
}

void SimDevice::Private::answerProbe()
{
    bootWindow.stop();
    bootInput.clear();
    bootError.clear();
    bootState = BootState::WaitHeader;
    bootReply(AnswerProbe);
}

void SimDevice::Private::takeHeader()
{
    // Once it has answered, the loader reads a frame: the probe again (the
    // tool may have missed the answer) or the header.
    const QByteArrayView probe(Probe, sizeof Probe);
    if (bootInput.front() == probe.front()) {
        if (bootInput.size() < probe.size())
            return;
        if (bootInput == probe)
            return answerProbe();
        return refuse(
            QStringLiteral("%1 after the answer to the probe is no probe").arg(hex(bootInput)));
    }
    if (bootInput.front() != HeaderStart)
        return refuse(QStringLiteral("%1 where the header begins with 5E").arg(hex(bootInput)));
    if (bootInput.size() < HeaderSize)
        return;
    const auto at = [this](int i) { return static_cast<unsigned char>(bootInput.at(i)); };
    if (bootInput.back() != HeaderEnd)
        return refuse(QStringLiteral("header %1 ends in %2, not E5")
                          .arg(hex(bootInput), hex(bootInput.last(1))));
    // The length below a whole block, high byte first, cannot reach 2048: a
    // whole block is counted in byte 3. Length bytes sent the wrong way round
    // mostly give such a length.
    const int remainder = at(1) * 256 + at(2);
    if (remainder >= BlockSize)
        return refuse(QStringLiteral("header %1: the length below a whole block (%2 %3, high "
                                     "byte first) is %4, not below 2048")
                          .arg(hex(bootInput), hex(bootInput.mid(1, 1)), hex(bootInput.mid(2, 1)))
                          .arg(remainder));
    imageLength = at(3) * int(BlockSize) + remainder;
    blockCount = at(3) + 1;
    blocksStored = 0;
    resendDone = false;
    image.clear();
    bootInput.clear();
    bootState = BootState::Blocks;
    bootReply(AnswerStored);
}

void SimDevice::Private::takeFrame()
{
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
    if (blocksStored + 1 == blockCount) {
        // The flash past the image's end stays erased, so the last block
        // must carry nothing but 0xFF there.
        const qsizetype end = imageLength - qsizetype(blocksStored) * BlockSize;
        for (qsizetype i = end; i < BlockSize; ++i) {
            if (data[i] != '\xFF')
                return refuse(QStringLiteral("block %1, the last: byte %2 is %3, not FF: past the "
                                             "image's %4 bytes the block is padded with FF")
                                  .arg(blocksStored)
                                  .arg(i)
                                  .arg(hex(data.sliced(i, 1)))
                                  .arg(imageLength));
        }
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

void SimDevice::Private::refuse(const QString &why)
{
    // A loader that cannot use what it was sent gives the transfer up without
    // a reply, so the tool hears nothing more and ends it. It starts no image
    // it doubts: it stays in the loader and waits for the next probe.
    bootError = why;
    bootInput.clear();
    bootState = BootState::WaitProbe;
    Q_EMIT q->bootRefused(why);
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
