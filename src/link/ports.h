#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace telx5 {

class SerialLink;

// Port names by platform: "COM3" on Windows, device paths ("/dev/ttyUSB0")
// elsewhere.
namespace Ports {

QString namePrefix(); // "COM" / "/dev/"

// A USB vendor and product id, as udev and QSerialPortInfo give them.
struct UsbId
{
    quint16 vendor = 0;
    quint16 product = 0;

    friend bool operator==(const UsbId &, const UsbId &) = default;
};

// The USB serial adapters TELX5 devices come with; the udev rule of the
// telx5-config-udev package names the same ones.
QList<UsbId> knownAdapters();

// What the system tells of a port.
struct PortFacts
{
    QString path;        // "/dev/ttyUSB0"
    QString description; // "CP2102 USB to UART"; empty when unknown
    bool hasUsbId = false;
    UsbId usbId;
};

// "/dev/ttyUSB0 — CP2102 USB to UART (10c4:ea60)", or the bare path of a
// port the system tells nothing more of.
QString portLabel(const PortFacts &port);

// The known adapters first, then the other ports, each group by name: the
// port a user plugged in for the device heads the list.
QList<PortFacts> orderPorts(QList<PortFacts> ports);

// The ports the system reports now, in that order.
QList<PortFacts> presentPorts();

// Why a port could not be opened for want of permission: the group that owns
// its node, and how to join it.
QString noPermissionReason(const QString &path);
#ifdef Q_OS_WIN
// "COM1", shown and stored when the port text names no "COMn".
QString replacement();
#endif

// The ports the probe tries, in order: "COM1" to "COM16" on Windows, the
// device paths of the present ports, in their order, elsewhere.
QStringList candidatePorts();

// The ports that open now, in order.
QStringList probePorts();

// The device a port text names: on Windows the text itself, elsewhere a path
// as it stands and a bare name under "/dev/" ("ttyUSB0" is "/dev/ttyUSB0").
// Never another port.
QString deviceName(const QString &text);

// A pseudo-terminal ("/dev/pts/3"): a simulated device, never a port to
// come back to at the next start.
bool isPseudoTerminal(const QString &name);

// Chooses the start-up port from the port list's text (the remembered port):
// the port it names, or on Windows "COM16" when it names no "COMn". Leaves
// it closed.
void configurePort(SerialLink &link, const QString &portText);

// The user picked `text` in the port list. False (and nothing changed) when the
// port is open; the caller shows "Port is open". Any list entry chooses its
// port; on Windows a text that is no "COMn" of the probe changes nothing.
bool choosePort(SerialLink &link, const QString &text);

} // namespace Ports
} // namespace telx5
