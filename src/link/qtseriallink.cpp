#include "qtseriallink.h"

#include "delay.h"
#include "ports.h"

#include <QDeadlineTimer>
#include <QFile>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <sys/stat.h>
#endif

namespace telx5 {

namespace {

// The receive buffer of the device link; QSerialPort has no transmit buffer
// size to set (it queues any amount, so a 2049-byte frame goes out whole).
constexpr qint64 InBufferSize = 4096;
// How long a close waits for Qt's own buffer to reach the system.
constexpr int DrainTimeoutMs = 500;
// One byte on the wire.
constexpr qint64 ByteTimeNs = LineBitsPerByte * 1'000'000'000LL / LineSpeed;
// Beyond the wire time of the queued bytes: the adapter's own latency.
constexpr int SettleMs = 10;
constexpr int DrainMarginMs = 200;
// What an adapter can hold beyond the system's queue: its own FIFO, a few
// hundred bytes on the common chips. One boot-loader frame is more than any
// of them takes, so a close never waits for bytes the system has handed on
// longer than that frame's wire time after the last write, however far ahead
// of the wire fast writes to a line that is no real wire (a pseudo-terminal)
// have run.
constexpr qint64 AdapterHoldNs = 2049 * ByteTimeNs;

} // namespace

QtSerialLink::QtSerialLink(QObject *parent) : SerialLink(parent)
{
    m_port.setReadBufferSize(InBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = m_port.readAll();
        if (!bytes.isEmpty())
            Q_EMIT received(bytes);
    });
    // A port that disappears (a pulled USB cable) reports a failed read or
    // write (ENXIO, EIO) on every poll from then on. Closing it stops that and
    // makes the next send report failure instead of writing into nothing.
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
             error == QSerialPort::WriteError) &&
            m_port.isOpen())
            lose();
    });
    m_clock.start();
}

void QtSerialLink::lose()
{
    m_unsentAtClose = -1;
    m_port.clearError();
    m_port.close();
    setDisconnected(true);
}

bool QtSerialLink::setPortName(const QString &name)
{
    if (m_port.isOpen())
        return false;
    m_name = name;
    m_port.setPortName(name);
    return true;
}

QString QtSerialLink::portName() const
{
    return m_name;
}

bool QtSerialLink::isOpen() const
{
    return m_port.isOpen();
}

bool QtSerialLink::open(QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(m_name, why);
        return false;
    };
    if (m_port.isOpen())
        return fail(QStringLiteral("it is already open"));
    setDisconnected(false);
    m_unsentAtClose = 0;
    if (m_name.isEmpty()) {
        if (error)
            *error = QStringLiteral("No port chosen");
        return false;
    }
#ifdef Q_OS_UNIX
    // Only a terminal device is a port: a regular file, a folder or a FIFO
    // named by mistake is never opened (a FIFO would block the open).
    struct stat status = {};
    if (::stat(QFile::encodeName(m_name).constData(), &status) != 0)
        return fail(QStringLiteral("no such port"));
    if (!S_ISCHR(status.st_mode))
        return fail(QStringLiteral("not a serial port"));
#endif

    m_port.setBaudRate(LineSpeed);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite)) {
        m_lineIdleAtNs = m_clock.nsecsElapsed();
        return true;
    }

    const QSerialPort::SerialPortError code = m_port.error();
    const QString detail = m_port.errorString();
    m_port.clearError();
    switch (code) {
    case QSerialPort::DeviceNotFoundError:
        return fail(QStringLiteral("no such port"));
    case QSerialPort::PermissionError: {
        // QSerialPort reports a port held by another program as a permission
        // error too; the text it gives tells the two apart.
        if (detail.contains(QLatin1String("lock"), Qt::CaseInsensitive) ||
            detail.contains(QLatin1String("busy"), Qt::CaseInsensitive))
            return fail(QStringLiteral("in use by another program (%1)").arg(detail));
        return fail(QStringLiteral("%1 (%2)").arg(Ports::noPermissionReason(m_name), detail));
    }
    case QSerialPort::UnsupportedOperationError:
        // A character device that takes no terminal settings (ENOTTY).
        return fail(QStringLiteral("not a serial port"));
    default:
        return fail(detail);
    }
}

void QtSerialLink::close()
{
    // A close that waits for the wire dispatches events; a handler that runs
    // meanwhile and closes the port too finds this one under way.
    if (!m_port.isOpen() || m_closing)
        return;
    m_closing = true;
    // QSerialPort drops what is still in its own buffer when it closes.
    const QDeadlineTimer deadline(DrainTimeoutMs);
    while (m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
    }
    m_port.flush();
    const qint64 unsent = m_port.bytesToWrite() + drain();
    m_unsentAtClose = m_port.isOpen() ? unsent : -1;
    // The device may have gone while the line drained.
    if (m_port.isOpen())
        m_port.close();
    m_closing = false;
}

qint64 QtSerialLink::drain()
{
#ifdef Q_OS_UNIX
    // QSerialPort's close puts back the line settings it found at open (often
    // 9600 baud) at once, while the system and the adapter still hold bytes:
    // they would reach the device garbled. So the close waits until the
    // system's queue is empty and the wire has had time for every byte
    // written, dispatching events meanwhile so the window keeps running.
    const int fd = static_cast<int>(m_port.handle());
    const auto queued = [fd] {
        int count = 0;
        return ::ioctl(fd, TIOCOUTQ, &count) == 0 ? count : 0;
    };
    const qint64 nowNs = m_clock.nsecsElapsed();
    const qint64 idleAtNs = std::max(std::min(m_lineIdleAtNs, m_lastSendNs + AdapterHoldNs),
                                     nowNs + queued() * ByteTimeNs);
    const qint64 doneAtNs = idleAtNs + qint64(SettleMs) * 1'000'000;
    const int boundMs = int((doneAtNs - nowNs) / 1'000'000) + DrainMarginMs;
    // A stop of the job waits for this: what it sent must arrive whole.
    waitUntil(
        [&] { return !m_port.isOpen() || (queued() == 0 && m_clock.nsecsElapsed() >= doneAtNs); },
        boundMs, WaitStop::Ignored);
    return m_port.isOpen() ? queued() : 0;
#else
    return 0;
#endif
}

bool QtSerialLink::send(QByteArrayView bytes)
{
    if (!m_port.isOpen() || m_closing)
        return false;
    if (bytes.isEmpty())
        return true;
    if (m_port.write(bytes.data(), bytes.size()) != bytes.size())
        return false;
    m_lastSendNs = m_clock.nsecsElapsed();
    m_lineIdleAtNs = std::max(m_lineIdleAtNs, m_lastSendNs) + bytes.size() * ByteTimeNs;
    Q_EMIT sent(bytes.toByteArray());
    return true;
}

} // namespace telx5
