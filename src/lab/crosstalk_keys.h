#pragma once
// The crosstalk factors in force for a parameter set: four keys of its own section in the
// calibration file, beside the set's keys, which the set's editor and writer leave as they are.

#include "lab/lab_result.h"

#include <string>
#include <string_view>

namespace xkv {

inline constexpr const char* xtalk_ab_key = "xtalk_ab";
inline constexpr const char* u_xtalk_ab_key = "u_xtalk_ab";
inline constexpr const char* xtalk_ba_key = "xtalk_ba";
inline constexpr const char* u_xtalk_ba_key = "u_xtalk_ba";

// A key that is absent or no finite number reads as 0: no crosstalk.
crosstalk_factors read_set_crosstalk(const std::string& calibration_path, std::string_view set);
// Writes one direction's factor and its uncertainty in the general number format. Throws write_error.
void write_set_crosstalk(const std::string& calibration_path, std::string_view set, bool alpha_to_beta, double value,
                         double u);

} // namespace xkv
