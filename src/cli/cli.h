#pragma once
// xkv4410-cli: the desktop program's jobs without a window, on the same core.

#include "cli/exit_codes.h"
#include "lab/plateau.h"
#include "results/chart_stats.h"

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace xkv::cli {

// What the command line tool takes from its process, so tests can run it in-process.
struct environment {
    std::string executable_dir;                     // the program directory unless --dir is given
    std::function<void(int ms)> wait;               // the run's waits and the 500 ms between ticks
    const std::atomic<bool>* interrupted = nullptr; // set by SIGINT, SIGTERM, SIGHUP: STOP while counting
    // Draws a chart into a PNG file without a window; absent where the program has no window library.
    std::function<void(const chart_data& chart, const std::string& png_file)> save_chart;
    // The same for a plateau curve (channel 0 alpha, 1 beta).
    std::function<void(const plateau_analysis& plateau, int channel, const std::string& png_file)> save_plateau = {};
};

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const environment& env);

// What --help prints: the commands as the command table lists them.
std::string help_text();
// The end of help_text(): the filters and the exit codes.
std::string help_footer();

} // namespace xkv::cli
