#pragma once
// The simulator's pseudo-terminal and event loop: reads command lines, answers them a little
// later, logs them, and ends on SIGTERM or SIGINT.

#include "sim_options.h"

namespace xkv::sim {

// Runs until a termination signal; returns the process exit code.
int run_server(const sim_options& options);

} // namespace xkv::sim
