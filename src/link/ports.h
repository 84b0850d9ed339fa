#pragma once

#include <QString>
#include <QStringList>

namespace telx5 {

class SerialLink;

// Port names by platform: "COM3" on Windows, device paths ("/dev/ttyUSB0")
// elsewhere.
namespace Ports {

QString namePrefix();  // "COM" / "/dev/"
QString replacement(); // "COM1" / "/dev/ttyS0", stored when the port text lacks the prefix

// The ports the probe tries, in order: "COM1" to "COM16" on Windows, the
// device paths of the ports the system reports, by name, elsewhere.
QStringList candidatePorts();

// The ports that open now, in order.
QStringList probePorts();

// Chooses the start-up port from the port list's text (the
// remembered port), else the last port the probe tried: "COM16" on Windows,
// elsewhere the last of `probed`, the probe's list in its order (the ports it
// tried, candidatePorts(), or those that opened, probePorts()); candidatePorts()
// stands in when `probed` is empty. Leaves it closed.
void configurePort(SerialLink &link, const QString &portText, const QStringList &probed);

// The user picked `text` in the port list. False (and nothing changed) when the
// port is open; the caller shows "Port is open". Any list entry chooses its
// port; on Windows a text that is no "COMn" of the probe changes nothing.
bool choosePort(SerialLink &link, const QString &text);

} // namespace Ports
} // namespace telx5
