#pragma once

namespace telx5 {

// Waits until more than `ms` milliseconds have passed on a monotonic clock,
// dispatching window events meanwhile (handlers may run, and nest, inside the
// wait). Returns at once, without dispatching, for a negative `ms`. Sleeps
// between events instead of spinning.
void Delay(int ms);

// Tests shorten every protocol wait by a factor (0.01 makes a 20 s connect
// phase last 200 ms). 1.0 outside tests.
void setDelayTimeScale(double scale);
double delayTimeScale();

} // namespace telx5
