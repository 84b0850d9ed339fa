#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace telx5 {

class SerialLink;

// Port names by platform: "COM3" on Windows, device paths ("/dev/ttyUSB0")
// elsewhere.
namespace Ports {

QString namePrefix(); // "COM" / "/dev/"
#ifdef Q_OS_WIN
// "COM1", shown and stored when the port text names no "COMn".
QString replacement();
#endif

// The ports the probe tries, in order: "COM1" to "COM16" on Windows, the
// device paths of the ports the system reports, by name, elsewhere.
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
