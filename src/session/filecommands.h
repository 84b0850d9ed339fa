#pragma once

#include "host.h"

namespace telx5 {

// Settings files. Neither command touches the serial port.
void Command5_Click(SessionContext &context); // Save file
void Command4_Click(SessionContext &context); // Load file

} // namespace telx5
