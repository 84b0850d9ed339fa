#include "ports.h"

#include "seriallink.h"

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

QStringList candidatePorts()
{
#ifdef Q_OS_WIN
    QStringList names;
    for (int n = 1; n <= LastComPort; ++n)
        names << QStringLiteral("COM%1").arg(n);
    return names;
#else
    QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    std::sort(infos.begin(), infos.end(), [](const QSerialPortInfo &a, const QSerialPortInfo &b) {
        return a.portName() < b.portName();
    });
    QStringList names;
    for (const QSerialPortInfo &info : std::as_const(infos))
        names << info.systemLocation();
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
