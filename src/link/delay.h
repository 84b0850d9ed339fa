#pragma once

#include <functional>

namespace telx5 {

// Waits until more than `ms` milliseconds have passed on a monotonic clock,
// dispatching window events meanwhile (handlers may run, and nest, inside the
// wait). Returns at once, without dispatching, for a negative `ms`. Sleeps
// between events instead of spinning.
void Delay(int ms);

// Waits until `done` holds or `timeoutMs` real milliseconds have passed (never
// shortened by the time scale), dispatching events as Delay does and looking
// at `done` at least once a millisecond. Returns whether `done` held.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// Tests shorten every protocol wait by a factor (0.01 makes a 20 s connect
// phase last 200 ms). 1.0 outside tests.
void setDelayTimeScale(double scale);
double delayTimeScale();

} // namespace telx5
