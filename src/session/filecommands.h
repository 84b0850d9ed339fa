#pragma once

#include "host.h"

namespace telx5 {

// Settings files. Neither command touches the serial port.
// Each says whether the file was saved, or read (to its end or to the line
// where the parser stopped); a cancelled dialog is neither.
bool saveSettingsFile(SessionContext &context); // Save file
bool loadSettingsFile(SessionContext &context); // Load file
// Load file without its dialog: a backup chosen in the window's list of them.
bool loadSettingsFileNamed(SessionContext &context, const QString &fileName);

} // namespace telx5
