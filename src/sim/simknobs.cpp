#include "simdevice_p.h"

#include <algorithm>

namespace telx5 {

void SimDevice::setBootWindow(int ms)
{
    d->bootWindowMs = ms < 0 ? Never : ms;
}

void SimDevice::restart()
{
    d->setMode(Mode::Setup);
}

void SimDevice::setConnectAfter(int setupLines)
{
    d->connectAfter = setupLines;
}

void SimDevice::setSilent(bool silent)
{
    d->silent = silent;
}

void SimDevice::setReportedSettings(const QStringList &prefixes)
{
    d->reported = prefixes;
}

void SimDevice::setEndsReport(bool ends)
{
    d->endsReport = ends;
}

void SimDevice::setIgnoredCommands(const QStringList &prefixes)
{
    d->ignored = prefixes;
}

void SimDevice::setAnswerDelay(int ms)
{
    d->answerDelayMs = std::max(0, ms);
}

void SimDevice::setLineGap(int ms)
{
    d->lineGapMs = std::max(0, ms);
}

void SimDevice::setBaudRate(int baud)
{
    d->baud = std::max(0, baud);
}

void SimDevice::setPacedLine(bool on)
{
    d->pacedLine = on;
    if (on || !d->wireTimer.isActive())
        return;
    // What is still in the pty goes to the unpaced reader at once.
    d->wireTimer.stop();
    d->notifier->setEnabled(true);
}

void SimDevice::setFragmentSize(int bytes, int gapMs)
{
    d->fragmentSize = std::max(0, bytes);
    d->fragmentGapMs = std::max(1, gapMs);
}

void SimDevice::setGarbage(const QByteArray &bytes)
{
    d->garbage = bytes;
}

void SimDevice::setResendBlock(int block)
{
    d->resendBlock = block;
}

void SimDevice::setSilentAfterBlock(int block)
{
    d->silentAfterBlock = block;
}

void SimDevice::setBlockDelay(int ms)
{
    d->blockDelayMs = std::max(0, ms);
}

void SimDevice::setCodePage(CodePage page)
{
    d->codec = TextCodec(page);
}

void SimDevice::setLineNoise(const QByteArray &bytes)
{
    d->lineNoise = bytes;
}

void SimDevice::setAnswerTwice(bool twice)
{
    d->answerTwice = twice;
}

void SimDevice::setEndlessStream(bool on)
{
    d->endlessStream = on;
    d->kickStream();
}

void SimDevice::setRandomReplies(quint32 seed)
{
    d->randomReplies.reset();
    if (seed != 0)
        d->randomReplies.emplace(seed);
}

} // namespace telx5
