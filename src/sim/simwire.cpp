#include "simdevice_p.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace telx5 {

namespace {

// A device at 115200 that listens to a slower sender samples its long start
// bit all through the frame and reads a zero byte. A zero byte sent reads as
// 0xFF here, so that no garbled byte comes out as it was sent.
char garbled(char byte)
{
    return byte == 0 ? '\xFF' : '\0';
}

} // namespace

bool SimDevice::start(QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (d->master >= 0)
        return true;
    if (d->vanished)
        return fail(QStringLiteral("the simulated device has been unplugged"));
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return fail(
            QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    // Raw bytes both ways: no CR/LF translation, no echo, no line editing.
    termios mode{};
    if (::tcgetattr(slave, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::cfsetspeed(&mode, d->pacedLine ? B9600 : B115200);
        ::tcsetattr(slave, TCSANOW, &mode);
    }
    const char *name = ::ptsname(master);
    d->path = name ? QString::fromLocal8Bit(name) : QString();
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    d->master = master;
    d->notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] { d->onReadable(); });
    d->writable = new QSocketNotifier(master, QSocketNotifier::Write, this);
    d->writable->setEnabled(false);
    connect(d->writable, &QSocketNotifier::activated, this, [this] {
        d->writable->setEnabled(false);
        d->pump();
    });
    d->kickStream();
    return true;
}

void SimDevice::sendRaw(const QByteArray &bytes)
{
    d->enqueue(bytes, 0);
}

void SimDevice::vanish()
{
    if (d->master < 0)
        return;
    d->closeMaster();
    d->vanished = true;
}

bool SimDevice::hasVanished() const
{
    return d->vanished;
}

bool SimDevice::Private::hostAttached() const
{
    if (master < 0)
        return false;
    pollfd p{master, POLLOUT, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & POLLHUP) == 0;
}

void SimDevice::Private::detached()
{
    // With the tool's port closed the master reports a hang-up on every
    // poll; reading would spin, so look again at a slow pace instead.
    notifier->setEnabled(false);
    attachTimer.start();
}

void SimDevice::Private::checkAttached()
{
    // What the tool sent just before it closed its port is still waiting.
    if (pacedLine) {
        // The wire takes it out at its pace, and finds out whether the tool
        // is back once it is out.
        attachTimer.stop();
        startWire();
        return;
    }
    readAvailable();
    if (master < 0 || !hostAttached())
        return;
    attachTimer.stop();
    notifier->setEnabled(true);
}

void SimDevice::Private::onReadable()
{
    if (pacedLine)
        startWire();
    else if (readAvailable())
        detached();
}

bool SimDevice::Private::readAvailable()
{
    char buffer[4096];
    while (master >= 0) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) {
            arrive(QByteArrayView(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && errno == EIO;
    }
    return false;
}

void SimDevice::Private::arrive(QByteArrayView bytes)
{
    received.append(bytes);
    for (const char byte : bytes)
        handle(byte);
}

void SimDevice::Private::startWire()
{
    // The bytes stay in the pty until they are due; the level-triggered
    // notifier would fire all the while.
    notifier->setEnabled(false);
    wireClock.start();
    wireBytes = 0;
    wireTimer.start();
}

void SimDevice::Private::wireTick()
{
    const qint64 due = wireClock.nsecsElapsed() * LineBaud / 10 / 1000000000 - wireBytes;
    if (due <= 0)
        return;
    QByteArray bytes(due, Qt::Uninitialized);
    ssize_t n = 0;
    do {
        n = ::read(master, bytes.data(), static_cast<size_t>(due));
    } while (n < 0 && errno == EINTR);
    const bool hungUp = n < 0 && errno == EIO;
    if (n > 0) {
        wireBytes += n;
        bytes.truncate(n);
        // Every byte that arrived since the last tick is judged by the
        // settings the line has now, so a change within the tick garbles
        // them all.
        if (!lineMatches())
            std::transform(bytes.cbegin(), bytes.cend(), bytes.begin(), garbled);
        arrive(bytes);
    }
    // A handler may have pulled the cable or turned the wire off meanwhile.
    if (n == due || master < 0 || !wireTimer.isActive())
        return;
    // The pty has run dry: the line idles until the tool sends again.
    wireTimer.stop();
    if (hungUp)
        detached();
    else
        notifier->setEnabled(true);
}

bool SimDevice::Private::lineMatches() const
{
    // The pty's master reports the termios of the tool's side.
    termios mode{};
    if (::tcgetattr(master, &mode) != 0)
        return false;
    return ::cfgetospeed(&mode) == B115200 && (mode.c_cflag & CSIZE) == CS8 &&
           (mode.c_cflag & (PARENB | CSTOPB)) == 0;
}

void SimDevice::Private::closeMaster()
{
    delete notifier;
    notifier = nullptr;
    delete writable;
    writable = nullptr;
    attachTimer.stop();
    pumpTimer.stop();
    bootWindow.stop();
    wireTimer.stop();
    out.clear();
    if (master >= 0)
        ::close(master);
    master = -1;
}

bool SimDevice::Private::refillStream()
{
    if (!endlessStream || master < 0)
        return false;
    // Every byte value but CR, over and over.
    QByteArray bytes(1024, Qt::Uninitialized);
    for (char &b : bytes) {
        const int value = static_cast<int>(streamBytes++ % 255);
        b = static_cast<char>(value < '\r' ? value : value + 1);
    }
    out.push_back({bytes, 0});
    return true;
}

void SimDevice::Private::kickStream()
{
    const bool waiting = pumpTimer.isActive() || (writable && writable->isEnabled());
    if (endlessStream && out.empty() && !waiting)
        pump();
}

void SimDevice::Private::enqueue(const QByteArray &bytes, int delayMs)
{
    if (master < 0 || bytes.isEmpty())
        return;
    const bool idle = out.empty() && !pumpTimer.isActive();
    out.push_back({bytes, delayMs});
    if (idle) {
        paceClock.start();
        pacedBytes = 0;
        pump();
    }
}

void SimDevice::Private::pump()
{
    while (!out.empty() || refillStream()) {
        Chunk &chunk = out.front();
        if (chunk.delayMs > 0) {
            paceClock.invalidate();
            pumpTimer.start(std::exchange(chunk.delayMs, 0));
            return;
        }
        qsizetype n = chunk.bytes.size();
        if (fragmentSize > 0)
            n = std::min<qsizetype>(n, fragmentSize);
        const int pace = baud > 0 ? baud : pacedLine || endlessStream ? LineBaud : 0;
        if (pace > 0) {
            if (!paceClock.isValid()) {
                paceClock.start();
                pacedBytes = 0;
            }
            const qint64 allowed = paceClock.nsecsElapsed() * pace / 10 / 1000000000 - pacedBytes;
            if (allowed <= 0) {
                pumpTimer.start(std::max(1, 10000 / pace));
                return;
            }
            n = std::min<qsizetype>(n, allowed);
        }
        const qsizetype written = writeMaster(QByteArrayView(chunk.bytes).first(n));
        pacedBytes += written;
        chunk.bytes.remove(0, written);
        if (chunk.bytes.isEmpty())
            out.pop_front();
        if (written < n) {
            // The pty's buffer is full: go on as soon as the tool has read.
            writable->setEnabled(true);
            return;
        }
        if (fragmentSize > 0 && !out.empty()) {
            pumpTimer.start(fragmentGapMs);
            return;
        }
    }
}

qsizetype SimDevice::Private::writeMaster(QByteArrayView bytes)
{
    // Bytes sent while the tool's port is closed are lost on the line, as
    // they would be on a real cable.
    if (!hostAttached())
        return bytes.size();
    const ssize_t n = ::write(master, bytes.data(), static_cast<size_t>(bytes.size()));
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : bytes.size();
    return n;
}

} // namespace telx5
