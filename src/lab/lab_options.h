#pragma once
// The lab's read-only keys of the program options file.

#include <string>

namespace xkv {

// "LIMITS" "gamma": 1 - gamma is the probability of the coverage interval; a number strictly between
// 0 and 1, else the default.
double read_limits_gamma(const std::string& program_options_path);

} // namespace xkv
