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
// opened with.
void storePortSettings(const QString &fileName, const QString &port, const QString &baudRate,
                       const QString &stopBits, const QString &parity, const QString &dataBits,
                       const QString &flowControl, const QString &inBuffer,
                       const QString &outBuffer);
// The value of `key` in `section`, or an empty text when there is none.
QString readValue(const QString &section, const QString &key, const QString &fileName);
// Sets `key` in `section`, adding the section or key where missing; other
// lines keep their text and order.
void writeValue(const QString &section, const QString &key, const QString &value,
                const QString &fileName);

} // namespace PortSettingsStore
} // namespace telx5
