#pragma once
// The program options the program reads but never writes, each set by hand in ini/program_opt.xkv.
// A new one is a field here and its row in read_only_keys: the reading, the defaults and every
// copy (desktop program and CLI, through the session) follow.

#include <cstdint>
#include <string>
#include <variant>

namespace xkv {

struct read_only_options {
    double limits_k = 1.645; // "LIMITS" "k": k of the decision threshold and detection limit
    // "DB" "busy_timeout": how long (ms) the CLI waits for a database file another program holds
    std::int32_t busy_timeout_ms = 5000;

    bool operator==(const read_only_options&) const = default;
};

// Numbers the option takes; any other number, a text that is no number and an absent key keep
// the default.
inline bool any_number(double) { return true; }
inline bool above_zero(double v) { return v > 0; }
// A wait that still ends: up to ten minutes.
inline bool bounded_wait_ms(double v) { return v >= 0 && v <= 600000; }

// One key and its field. Integers and flags are read as the other program options are ("1" on,
// "0" off); numbers and integers pass `accept`, numbers are finite.
struct read_only_key {
    const char* section;
    const char* key;
    std::variant<double read_only_options::*, std::int32_t read_only_options::*, bool read_only_options::*> field;
    bool (*accept)(double) = any_number;
};

inline const read_only_key read_only_keys[] = {
    {"LIMITS", "k", &read_only_options::limits_k, above_zero},
    {"DB", "busy_timeout", &read_only_options::busy_timeout_ms, bounded_wait_ms},
};

// Never fails: a missing or unreadable file gives the defaults.
read_only_options read_read_only_options(const std::string& program_options_path);

} // namespace xkv
