#include "qtseriallink.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPortInfo>

namespace telx5 {

namespace {

// The receive buffer of the device link; QSerialPort has no transmit buffer
// size to set (it queues any amount, so a 2049-byte frame goes out whole).
constexpr qint64 InBufferSize = 4096;
// How long a close waits for queued bytes to leave.
constexpr int DrainTimeoutMs = 500;

QString permissionHint(const QString &path)
{
    const QFileInfo info(path);
    const QString group = info.exists() ? info.group() : QString();
    if (group.isEmpty() || group == QLatin1String("root"))
        return QStringLiteral("no permission");
    return QStringLiteral("no permission; members of the group \"%1\" may open it").arg(group);
}

} // namespace

QtSerialLink::QtSerialLink(QObject *parent) : SerialLink(parent)
{
    m_port.setReadBufferSize(InBufferSize);
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        const QByteArray bytes = m_port.readAll();
        if (!bytes.isEmpty())
            Q_EMIT received(bytes);
    });
    // A port that disappears (a pulled USB cable) reports a failed read on
    // every poll from then on. Closing it stops that and makes the next send
    // report failure instead of writing into nothing.
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) &&
            m_port.isOpen()) {
            m_port.clearError();
            m_port.close();
        }
    });
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
    if (m_name.isEmpty())
        return fail(QStringLiteral("no port chosen"));

    m_port.setBaudRate(QSerialPort::Baud115200);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (m_port.open(QIODevice::ReadWrite))
        return true;

    const QSerialPort::SerialPortError code = m_port.error();
    const QString detail = m_port.errorString();
    m_port.clearError();
    switch (code) {
    case QSerialPort::DeviceNotFoundError:
        return fail(QStringLiteral("no such port"));
    case QSerialPort::PermissionError: {
        const QString location = QSerialPortInfo(m_port).systemLocation();
        // QSerialPort reports a port held by another program as a permission
        // error too; the text it gives tells the two apart.
        if (detail.contains(QLatin1String("lock"), Qt::CaseInsensitive) ||
            detail.contains(QLatin1String("busy"), Qt::CaseInsensitive))
            return fail(QStringLiteral("in use by another program (%1)").arg(detail));
        return fail(QStringLiteral("%1 (%2)").arg(permissionHint(location), detail));
    }
    default:
        return fail(detail);
    }
}

void QtSerialLink::close()
{
    if (!m_port.isOpen())
        return;
    // QSerialPort drops what is still queued when it closes; let it leave
    // first, within a bound, so a command's last line reaches the device.
    const QDeadlineTimer deadline(DrainTimeoutMs);
    while (m_port.bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!m_port.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
    }
    m_port.flush();
    m_port.close();
}

bool QtSerialLink::send(QByteArrayView bytes)
{
    if (!m_port.isOpen())
        return false;
    if (bytes.isEmpty())
        return true;
    return m_port.write(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace telx5
