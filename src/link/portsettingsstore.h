#pragma once

#include <QString>

namespace telx5 {

// "XRVComm.ini": remembers the port that last worked (key "par5" of section
// "XRVComm") beside the line settings, which are a record only.
namespace PortSettingsStore {

// Beside the program when that folder is writable, otherwise in the user's
// configuration folder.
QString defaultIniPath();

void WriteCommSet(const QString &fileName, const QString &PortNo, const QString &BaudRate,
                  const QString &StopBits, const QString &Parity, const QString &Databits,
                  const QString &FlowControl, const QString &InBuff, const QString &OutBuff);
QString ReadINI(const QString &Section, const QString &KeyName, const QString &Filename);
void WriteINI(const QString &sSection, const QString &sKeyName, const QString &sNewString,
              const QString &sFileName);

} // namespace PortSettingsStore
} // namespace telx5
