#pragma once
// The exit codes of xkv4410-cli, which other tools rely on, and what --help (and so the manual page)
// says of each. README.md's "Exit codes:" sentence is checked against this table by a test.

#include <array>
#include <cstddef>
#include <string_view>

namespace xkv::cli {

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

struct exit_code_text {
    exit_code code;
    std::string_view text; // a '\n' is where --help goes on in its next line
};

// Every code once, in order.
inline constexpr std::array exit_code_texts = {
    exit_code_text{exit_ok, "done"},
    exit_code_text{exit_error, "error"},
    exit_code_text{exit_usage, "usage or setup check"},
    exit_code_text{exit_no_instrument, "no instrument"},
    exit_code_text{exit_run_failed, "measurement failed or\ncut short"},
    exit_code_text{exit_no_update, "no update reply"},
    exit_code_text{exit_spooled, "run kept in the spool (db push stores it)"},
    exit_code_text{exit_qc_failed, "QC check\nfailed"},
    exit_code_text{exit_interrupted, "interrupted (nothing saved)"},
};

constexpr bool each_code_once_in_order() {
    for (std::size_t i = 0; i < exit_code_texts.size(); ++i)
        if (static_cast<std::size_t>(exit_code_texts[i].code) != i) return false;
    return exit_code_texts.back().code == exit_interrupted;
}
static_assert(each_code_once_in_order(), "exit_code_texts: one row per exit code, in order");

} // namespace xkv::cli
