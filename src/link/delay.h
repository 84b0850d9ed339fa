#pragma once

#include <functional>

namespace telx5 {

// Waits until more than `ms` milliseconds have passed on a monotonic clock,
// dispatching window events meanwhile (handlers may run, and nest, inside the
// wait). Returns at once, without dispatching, for a negative `ms`. Sleeps
// between events instead of spinning.
void Delay(int ms);

// Whether a wait ends early when the running job is stopped.
enum class WaitStop
{
    Ends,   // a protocol wait: a stopped job waits for nothing more
    Ignored // the wait for bytes to leave the wire, which a stop must not cut
};

// Waits until `done` holds or `timeoutMs` real milliseconds have passed (never
// shortened by the time scale), dispatching events as Delay does and looking
// at `done` at least once a millisecond. Returns whether `done` held.
bool waitUntil(const std::function<bool()> &done, int timeoutMs, WaitStop stop = WaitStop::Ends);

// A stop of the running job (a signal, the window's close button): from the
// call on, Delay and every wait that ends on a stop return at once, the ones
// running now included, until resumeWaits().
void stopWaits();
void resumeWaits();
bool waitsStopped();

// Tests shorten every protocol wait by a factor (0.01 makes a 20 s connect
// phase last 200 ms). 1.0 outside tests.
void setDelayTimeScale(double scale);
double delayTimeScale();

} // namespace telx5
