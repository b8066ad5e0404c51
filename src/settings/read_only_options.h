#pragma once
// The program options the program reads but never writes, each set by hand in ini/program_opt.xkv.
// A new one is a field here and its row in read_only_keys: the reading, the defaults and every
// copy (desktop program and CLI, through the session) follow.

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace xkv {

// The "QC" keys: the check source's tolerance in percent, how old the last checks may be, and
// whether a run may start while QC is not current ("block=1" refuses it).
struct qc_options {
    double tolerance_percent = 5;
    double max_age_hours = 24;
    bool block = false;

    bool operator==(const qc_options&) const = default;
};

struct read_only_options {
    double limits_k = 1.645; // "LIMITS" "k": k of the decision threshold and detection limit
    // "LIMITS" "gamma": 1 - gamma is the probability of the lab result's coverage interval
    double limits_gamma = 0.05;
    // "DB" "busy_timeout": how long (ms) the CLI waits for a database file another program holds
    std::int32_t busy_timeout_ms = 5000;
    // "MEASUREMENT" "allow_series": the setup dialog lets the operator change the count (else 1)
    bool allow_series = false;
    qc_options qc;

    bool operator==(const read_only_options&) const = default;
};

// Numbers the option takes; any other number, a text that is no number and an absent key keep
// the default.
inline bool any_number(double) { return true; }
inline bool above_zero(double v) { return v > 0; }
inline bool between_zero_and_one(double v) { return v > 0 && v < 1; }
// A wait that still ends: up to ten minutes.
inline bool bounded_wait_ms(double v) { return v >= 0 && v <= 600000; }

// Texts that turn a flag on; any other text and an absent key leave it off.
// The integer 1, read as the other program options read integers ("1", "+1", "01", "$1", "0x1").
bool integer_one(std::string_view text);
// "1" alone, between blanks and control characters.
bool text_one(std::string_view text);

// Where a key's value goes: a field of the options, or of a record within them.
template <auto... path>
auto& read_only_member(read_only_options& o) {
    return (o.*....*path);
}
template <auto... path>
inline constexpr auto read_only_field = &read_only_member<path...>;

// One key and its field. Integers are read as the other program options are; numbers and integers
// pass `accept`, numbers are finite; a flag is on when its text passes `on`.
struct read_only_key {
    const char* section;
    const char* key;
    std::variant<double& (*)(read_only_options&), std::int32_t& (*)(read_only_options&), bool& (*)(read_only_options&)>
        field;
    bool (*accept)(double) = any_number;
    bool (*on)(std::string_view) = integer_one;
};

inline const read_only_key read_only_keys[] = {
    {"LIMITS", "k", read_only_field<&read_only_options::limits_k>, above_zero},
    {"LIMITS", "gamma", read_only_field<&read_only_options::limits_gamma>, between_zero_and_one},
    {"DB", "busy_timeout", read_only_field<&read_only_options::busy_timeout_ms>, bounded_wait_ms},
    {"MEASUREMENT", "allow_series", read_only_field<&read_only_options::allow_series>},
    {"QC", "tolerance_percent", read_only_field<&read_only_options::qc, &qc_options::tolerance_percent>, above_zero},
    {"QC", "max_age_hours", read_only_field<&read_only_options::qc, &qc_options::max_age_hours>, above_zero},
    {"QC", "block", read_only_field<&read_only_options::qc, &qc_options::block>, any_number, text_one},
};

// Never fails: a missing or unreadable file gives the defaults.
read_only_options read_read_only_options(const std::string& program_options_path);

} // namespace xkv
