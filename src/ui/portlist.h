#pragma once

#include "ports.h"

#include <QList>

class QComboBox;

namespace telx5 {

// Fills the port list: each entry shows its port with what the system tells
// of it ("/dev/ttyUSB0 — CP2102 USB to UART (10c4:ea60)"), while the box's
// text, which is opened and remembered, stays the bare path, also when an
// entry is picked. The box keeps the text it had.
void fillPortList(QComboBox *combo, const QList<Ports::PortFacts> &ports);

// The facts of each of `paths` from `present`; a path the system did not
// report (a pseudo-terminal, a port typed by hand) is its bare path.
QList<Ports::PortFacts> describePorts(const QStringList &paths,
                                      const QList<Ports::PortFacts> &present);

} // namespace telx5
