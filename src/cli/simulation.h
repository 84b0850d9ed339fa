#pragma once

#include <QString>

namespace telx5 {

class SimDevice;

// The environment variable that sets up the simulated device of --simulate.
inline constexpr char SimOptionsVariable[] = "TELX5_SIM_OPTIONS";

// Sets up the simulated device from `options`, written as telx5-sim's own:
// "--never-connect", "--ignore PREFIX" (repeatable), "--paced" (the wire at
// 115200 baud, which garbles bytes sent at another speed) and "--verbose"
// (each command line the device receives, on standard error after "<- "). Tests and demos reach
// the device in the tool's process this way. Returns what is wrong with the
// options, or an empty text.
QString configureSimulation(SimDevice &device, const QString &options);

} // namespace telx5
