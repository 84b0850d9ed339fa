#pragma once

#include "commands.h"
#include "host.h"

namespace telx5 {

// The device sessions. Each waits in Delay, so other handlers (a second press
// of the same button included) may run inside it.
SessionOutcome readSettings(SessionContext &context); // Read data: connect, then read every setting
// Read data as the window runs it: the settings fill as they arrive; a read
// that does not end (cancelled, failed, no READ END) puts back what the host
// held before it, and one that ends without a setting keeps that setting's
// value from before, so that Write never sends the blanks it began with.
SessionOutcome readSettingsOrKeep(SessionContext &context);
SessionOutcome
writeSettings(SessionContext &context); // Write data: every setting, then "freq save"
// The write session with other lines than those of Write data: the lines of
// `plan` in order, then the wait for "freq save".
SessionOutcome writeSteps(SessionContext &context, const QList<Commands::WriteStep> &plan);
SessionOutcome applyWifi(SessionContext &context);     // Apply: the Wi-Fi credentials
SessionOutcome restartDevice(SessionContext &context); // restart

// A read into a record of its own, around a write or an update: the window's
// fields, status box, captions and buttons stay as they are, and no message
// box is shown; the outcome says how it went and holds what was read.
SessionOutcome readAside(SessionContext &context);
// The same for a write of `record`, such as settings kept across an update,
// by `plan` when one is given.
SessionOutcome writeAside(SessionContext &context, const SettingsRecord &record,
                          const std::optional<QList<Commands::WriteStep>> &plan = std::nullopt);

// The setup line once a second, up to 20 times, until the device answers
// "CONNECT": what a write, the Wi-Fi credentials or an update needs of a
// device that has just been restarted. The status box counts the attempts.
// Ok once it answered; NotConfirmed when it never did; Cancelled when the job
// was stopped.
SessionOutcome connectDevice(SessionContext &context);

// After a confirmed write: the device read back aside and compared setting by
// setting with what was written.
struct Verification
{
    SessionOutcome readBack;
    // The settings that did not take; meaningful when the read-back is ok.
    QList<Setting> untaken;

    bool verified() const { return readBack.ok() && untaken.isEmpty(); }
};
// What the read-back compares: the addresses only when the write set STATIC
// IP (a write under DHCP sends none), or always.
enum class Comparison
{
    AsWritten,
    EveryAddress,
};
Verification verifyWrite(SessionContext &context, const SettingsRecord &written,
                         Comparison comparison = Comparison::AsWritten);

} // namespace telx5
