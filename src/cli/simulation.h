#pragma once

#include <QString>

namespace telx5 {

class SimDevice;

// The environment variable that sets up the simulated device of --simulate.
inline constexpr char SimOptionsVariable[] = "TELX5_SIM_OPTIONS";

// Sets up the simulated device from `options`, written as telx5-sim's own:
// "--never-connect" and "--ignore PREFIX" (repeatable). Tests and demos reach
// the device in the tool's process this way. Returns what is wrong with the
// options, or an empty text.
QString configureSimulation(SimDevice &device, const QString &options);

} // namespace telx5
