#pragma once
// Activity, uncertainty and minimum detectable activity (MDA) of both channels of one result row.

#include "measurement/cur_measurment.h"
#include "measurement/r_results.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace xkv {

// The counting constant k; the MDA uses k and k squared.
inline constexpr long double counting_k = 1.65L;

inline constexpr const char* below_mda_alpha = "activity_alpha < MDA_alpha";
inline constexpr const char* below_mda_beta = "activity_beta < MDA_beta";

// Modes in which the instrument gives one value line: "C1-C2", "R1-R2", "R1 or R2".
bool one_line_mode(std::int32_t mode);

// A computed number as stored in a row: general format with "." as the decimal separator.
std::string number_text(double value);

// Fills activity_l, u_activity_l, activity_b, u_activity_b, koef_k, quantity, units, MDA_a, MDA_b,
// text_act_a, text_act_b and background of a row whose time is already stored. The channel values
// are the ones used for the row (after any channel swap). In a one-line mode an empty value counts
// as 0. Throws conversion_error for a value that is not a number and float_error for a division by
// zero, a negative value under a root or an overflow; nothing is stored then.
void compute_results(_r_results& row, const cur_measurment& setup, std::string_view alpha_value,
                     std::string_view beta_value);

} // namespace xkv
