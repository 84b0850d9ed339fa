#pragma once

#include "host.h"

#include <optional>

namespace telx5 {

// Settings files. Neither command touches the serial port.
// Each says whether the file was saved, or read (to its end or to the line
// where the parser stopped); a cancelled dialog is neither.
bool saveSettingsFile(SessionContext &context); // Save file
bool loadSettingsFile(SessionContext &context); // Load file
// Load file without its dialog: a backup chosen in the window's list of them.
bool loadSettingsFileNamed(SessionContext &context, const QString &fileName);
// Load file's dialog alone: the chosen file's name, empty when cancelled.
QString chooseSettingsFile(SessionContext &context);
// The settings a file holds, read as Load file reads them (to its end or to
// the line where the parser stops) into a record of their own: the window
// and its status box stay as they are. Nothing when the file cannot be read;
// a box has said why.
std::optional<SettingsRecord> readSettingsFileAside(SessionContext &context,
                                                    const QString &fileName);

} // namespace telx5
