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

// A read into a record of its own, around a write or an update: the window's
// fields, status box, captions and buttons stay as they are, and no message
// box is shown; the outcome says how it went and holds what was read.
SessionOutcome readAside(SessionContext &context);
// The same for a write of `record`, such as settings kept across an update.
SessionOutcome writeAside(SessionContext &context, const SettingsRecord &record);

// After a confirmed write: the device read back aside and compared setting by
// setting with what was written.
struct Verification
{
    SessionOutcome readBack;
    // The settings that did not take; meaningful when the read-back is ok.
    QList<Setting> untaken;

    bool verified() const { return readBack.ok() && untaken.isEmpty(); }
};
Verification verifyWrite(SessionContext &context, const SettingsRecord &written);

} // namespace telx5
