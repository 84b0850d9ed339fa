#pragma once

#include "host.h"

namespace telx5 {

// The device sessions. Each waits in Delay, so other handlers (a second press
// of the same button included) may run inside it.
SessionOutcome readSettings(SessionContext &context); // Read data: connect, then read every setting
SessionOutcome
writeSettings(SessionContext &context);            // Write data: every setting, then "freq save"
SessionOutcome applyWifi(SessionContext &context); // Apply: the Wi-Fi credentials
SessionOutcome restartDevice(SessionContext &context); // restart

} // namespace telx5
