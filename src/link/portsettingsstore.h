#pragma once

#include <QString>
#include <QtGlobal>

namespace telx5 {

// "XRVComm.ini": remembers the port that last worked (key "par5" of section
// "XRVComm") beside the line settings, which are a record only.
namespace PortSettingsStore {

// The file for this program: iniPathFor() its own folder and the user's
// configuration folder for TELX5 (~/.config/telx5-config), which the window
// and telx5-cli share.
QString defaultIniPath();
// Beside the program in `programDir` when the user can write there and it is
// not a system folder (/usr, /opt, /etc and the like, where an installed
// program lives, even when run as root), otherwise in `configDir`.
QString iniPathFor(const QString &programDir, const QString &configDir);
// Whether the program's folder takes the user's files: writable, and not a
// system folder.
bool isUserFolder(const QString &programDir);

// The platform's profile reader copies at most 254 characters of a value:
// the longest value readValue gives back whole.
constexpr qsizetype MaxValueLength = 254;

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
