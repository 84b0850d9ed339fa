#include "ports.h"

#include "seriallink.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <algorithm>

namespace telx5::Ports {

namespace {

#ifdef Q_OS_WIN
constexpr int LastComPort = 16;

// The number of a "COMn" text from its 4th character on, as the start-up
// step reads it: leading digits only, 0 when there are none.
int comNumber(const QString &text)
{
    int number = 0;
    for (qsizetype i = 3; i < text.size() && text.at(i).isDigit(); ++i) {
        number = number * 10 + text.at(i).digitValue();
        if (number > 255)
            return 0;
    }
    return number;
}
#endif

bool isKnownAdapter(const PortFacts &port)
{
    return port.hasUsbId && knownAdapters().contains(port.usbId);
}

QString hexId(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

bool opens(const QString &name)
{
    QSerialPort port;
    port.setPortName(name);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}

} // namespace

QString namePrefix()
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM");
#else
    return QStringLiteral("/dev/");
#endif
}

#ifdef Q_OS_WIN
QString replacement()
{
    return QStringLiteral("COM1");
}
#endif

QList<UsbId> knownAdapters()
{
    return {
        {0x10c4, 0xea60}, // CP210x
        {0x1a86, 0x7523}, // CH340
        {0x0403, 0x6001}, // FTDI FT232R
        {0x0403, 0x6015}, // FTDI FT230X
        {0x067b, 0x2303}, // PL2303
    };
}

QString portLabel(const PortFacts &port)
{
    QString label = port.path;
    if (!port.description.isEmpty())
        label += QStringLiteral(" \u2014 ") + port.description;
    if (port.hasUsbId)
        label +=
            QStringLiteral(" (%1:%2)").arg(hexId(port.usbId.vendor), hexId(port.usbId.product));
    return label;
}

QList<PortFacts> orderPorts(QList<PortFacts> ports)
{
    std::stable_sort(ports.begin(), ports.end(), [](const PortFacts &a, const PortFacts &b) {
        const bool aKnown = isKnownAdapter(a);
        const bool bKnown = isKnownAdapter(b);
        if (aKnown != bKnown)
            return aKnown;
        return a.path < b.path;
    });
    return ports;
}

QList<PortFacts> presentPorts()
{
    QList<PortFacts> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortFacts port;
#ifdef Q_OS_WIN
        port.path = info.portName();
#else
        port.path = info.systemLocation();
#endif
        port.description = info.description();
        port.hasUsbId = info.hasVendorIdentifier() && info.hasProductIdentifier();
        if (port.hasUsbId)
            port.usbId = {info.vendorIdentifier(), info.productIdentifier()};
        ports << port;
    }
    return orderPorts(ports);
}

QString noPermissionReason(const QString &path)
{
    const QFileInfo info(path);
    const QString group = info.exists() ? info.group() : QString();
    // Joining root's group is no advice to give.
    if (group.isEmpty() || group == QLatin1String("root"))
        return QStringLiteral("no permission");
    return QStringLiteral("no permission: the port belongs to the group \"%1\"; join it with "
                          "\"sudo usermod -aG %1 $USER\", then log out and in again")
        .arg(group);
}

QStringList candidatePorts()
{
#ifdef Q_OS_WIN
    QStringList names;
    for (int n = 1; n <= LastComPort; ++n)
        names << QStringLiteral("COM%1").arg(n);
    return names;
#else
    QStringList names;
    for (const PortFacts &port : presentPorts())
        names << port.path;
    return names;
#endif
}

QStringList probePorts()
{
    QStringList open;
    for (const QString &name : candidatePorts()) {
        if (opens(name))
            open << name;
    }
    return open;
}

QString deviceName(const QString &text)
{
#ifdef Q_OS_WIN
    return text;
#else
    if (text.isEmpty() || text.startsWith(QLatin1Char('/')))
        return text;
    return namePrefix() + text;
#endif
}

bool isPseudoTerminal(const QString &name)
{
    return name.startsWith(QStringLiteral("/dev/pts/"));
}

void configurePort(SerialLink &link, const QString &portText)
{
    if (link.isOpen())
        link.close();
#ifdef Q_OS_WIN
    const int number = comNumber(portText);
    link.setPortName(number > 0 ? QStringLiteral("COM%1").arg(number)
                                : QStringLiteral("COM%1").arg(LastComPort));
#else
    link.setPortName(deviceName(portText));
#endif
}

bool choosePort(SerialLink &link, const QString &text)
{
#ifdef Q_OS_WIN
    QString chosen;
    for (int n = 1; n <= LastComPort && chosen.isEmpty(); ++n) {
        if (text == QStringLiteral("COM%1").arg(n))
            chosen = text;
    }
#else
    const QString chosen = deviceName(text);
#endif
    if (chosen.isEmpty())
        return true;
    return link.setPortName(chosen);
}

} // namespace telx5::Ports
