#pragma once
// Command line of the simulated instrument.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xkv::sim {

// Count rates that follow a plateau curve of the downloaded high voltage: supply 1 ("j1") drives
// channel 1, supply 2 ("j2") channel 2.
struct plateau_curve {
    double knee = 0;  // volts: the middle of the rise
    double slope = 0; // % per 100 V on the plateau
};

struct sim_options {
    std::string link;               // symlink made to the pseudo-terminal the program opens
    double speed = 1.0;             // simulated seconds per real second
    double alpha = 5.0;             // channel 1 count rate, counts per second
    double beta = 20.0;             // channel 2 count rate, counts per second
    bool noise = false;             // Poisson noise on the values
    std::uint64_t seed = 1;         // seed of the noise, the garbage and the answer delays
    bool silent = false;            // answers nothing at all
    bool no_handshake = false;      // leaves "tarvo" unanswered
    std::optional<long> fail_after; // stops answering value reads after this many
    bool hang_up = false;           // with fail_after: ends at the first read it fails, closing the pty
    bool garbage = false;           // answers value, time and "n" queries with random bytes
    std::string log;                // file that gets every command line received
    std::optional<plateau_curve> plateau;
};

// What --help prints: the options as the option table lists them.
std::string usage_text();

// Parses the arguments after the program name; an error names the offending argument.
// `help` is set for --help, and then nothing else is checked.
struct parse_result {
    sim_options options;
    bool help = false;
    std::string error;
};
parse_result parse_options(const std::vector<std::string>& args);

} // namespace xkv::sim
