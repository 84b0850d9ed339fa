#pragma once

#include "host.h"

namespace telx5 {

// Settings files. Neither command touches the serial port.
void saveSettingsFile(SessionContext &context); // Save file
void loadSettingsFile(SessionContext &context); // Load file

} // namespace telx5
