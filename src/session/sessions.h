#pragma once

#include "host.h"

namespace telx5 {

// The device sessions. Each waits in Delay, so other handlers (a second press
// of the same button included) may run inside it.
void readSettings(SessionContext &context);  // Read data: connect, then read every setting
void writeSettings(SessionContext &context); // Write data: every setting, then "freq save"
void applyWifi(SessionContext &context);     // Apply: the Wi-Fi credentials
void restartDevice(SessionContext &context); // restart

} // namespace telx5
