#pragma once

#include <QString>

namespace telx5 {

// "XRVComm.ini": remembers the port that last worked (key "par5" of section
// "XRVComm") beside the line settings, which are a record only.
namespace PortSettingsStore {

// Beside the program when that folder is writable, otherwise in the user's
// configuration folder.
QString defaultIniPath();

// Remembers the port that worked ("par5") with the line settings it was
// opened with, in one write of the file.
void storePortSettings(const QString &fileName, const QString &port, const QString &baudRate,
                       const QString &stopBits, const QString &parity, const QString &dataBits,
                       const QString &flowControl, const QString &inBuffer,
                       const QString &outBuffer);
// The value of `key` in `section`, or an empty text when there is none. A file
// over 64 KiB, or one that is not a regular file (a link, a FIFO, a device, a
// folder), is ignored with a line on standard error.
QString readValue(const QString &section, const QString &key, const QString &fileName);
// Sets `key` in `section`, adding the section or key where missing; other
// lines keep their text and order. A file over 64 KiB, or one that is not a
// regular file, is left as it is, with a line on standard error. A failed
// write keeps the old file.
void writeValue(const QString &section, const QString &key, const QString &value,
                const QString &fileName);

} // namespace PortSettingsStore
} // namespace telx5
