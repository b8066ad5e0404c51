#pragma once
// xkv4410-cli: the desktop program's jobs without a window, on the same core.

#include "lab/plateau.h"
#include "results/chart_stats.h"

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace xkv::cli {

// Exit codes other tools rely on.
enum exit_code : int {
    exit_ok = 0,
    exit_error = 1,         // any other error; its text on stderr
    exit_usage = 2,         // a usage error or a failed setup check
    exit_no_instrument = 3, // "test": nothing answered
    exit_run_failed = 4,    // a communication or computation failure of a measurement, or a count cut short
    exit_no_update = 5,     // "check-update": no reply
    exit_spooled = 6,       // "measure --save": the store could not take the run; it waits in the spool
    exit_qc_failed = 7,     // "qc background", "qc source": the check failed
    exit_interrupted = 8,   // Ctrl-C (or a kill) stopped a listing, export, report or chart
};

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
