#pragma once
// What every lab record names beside its numbers: when (UTC), who (the system user), which station
// (the host name) and which counter (the instrument's first reply line to "n").

#include "link/t_xkv.h"

#include <cstdint>
#include <optional>
#include <string>

namespace xkv {

struct record_origin {
    std::string when; // "YYYY-MM-DD HH:MM:SS", UTC, as the results' time stamps
    std::string who;
    std::string station;
    std::string counter;
};

// Now, this user and this host, and the counter given.
record_origin origin_now(std::string counter);

// Asks "n" on an open link: the first reply line without its line end; empty when nothing answers.
std::string counter_name(t_xkv& link);

// "YYYY-MM-DD HH:MM:SS" (UTC) and back; none for any other text.
std::string utc_text(std::int64_t seconds);
std::optional<std::int64_t> utc_seconds(const std::string& text);

} // namespace xkv
