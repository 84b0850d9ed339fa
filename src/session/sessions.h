#pragma once

#include "host.h"

namespace telx5 {

// The device sessions. Each waits in Delay, so other handlers (a second press
// of the same button included) may run inside it.
void Command6_Click(SessionContext &context); // Read data: connect, then read every setting
void Command7_Click(SessionContext &context); // Write data: every setting, then "freq save"
void Command8_Click(SessionContext &context); // Apply: the Wi-Fi credentials
void Command9_Click(SessionContext &context); // restart

} // namespace telx5
