#pragma once
// The instrument profile: the instrument's settings, the background values and the report operator.
// Every value but the mode is kept as the text typed or read; it is converted where it is used.

#include <cstdint>
#include <string>

namespace xkv {

// The eight alarm levels: a<level>_<c|r><channel>, counters and ratemeters.
struct _o_alerts {
    std::string a1_c1 = "10000";
    std::string a1_c2 = "10000";
    std::string a1_r1 = "10000";
    std::string a1_r2 = "10000";
    std::string a2_c1 = "10000";
    std::string a2_c2 = "10000";
    std::string a2_r1 = "10000";
    std::string a2_r2 = "10000";
    bool operator==(const _o_alerts&) const = default;
};

// Background of both channels and its counting time in seconds; also part of every result row.
struct _background {
    std::string alpha = "0.01";
    std::string beta = "0.01";
    std::string time = "1000";
    bool operator==(const _background&) const = default;
};

// Mode codes 1..6 (their names and commands in instrument_modes.h); any other code is kept as it
// is and has no name.
enum mode_code : std::int32_t {
    mode_c1_minus_c2 = 1,
    mode_r1_minus_r2 = 2,
    mode_c1_c2 = 3,
    mode_r1_r2 = 4,
    mode_r1_or_r2 = 5,
    mode_cam = 6,
};

// The instrument profile (C++ reserves the name with a capital after the underscore).
struct _options {
    std::int32_t mode = mode_r1_r2;
    std::string C = "1";
    std::string D = "0.1";
    std::string E = "2";
    std::string UNIT = "16";
    _o_alerts alerts;
    std::string failrate1 = "0.01";
    std::string failrate2 = "0.01";
    std::string hv1 = "1000";
    std::string hv2 = "1000";
    std::string dead1 = "0";
    std::string dead2 = "0";
    std::string creator = "labuser";
    _background background;
    bool operator==(const _options&) const = default;
};

} // namespace xkv
