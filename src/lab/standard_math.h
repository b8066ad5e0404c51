#pragma once
// What a certified standard gives: the efficiency of a channel and the crosstalk between the
// channels, from net rates and decayed activities as the QC checks take them.

#include "lab/qc_rules.h"

#include <optional>
#include <string_view>

namespace xkv {

// Days from 1970-01-01 of a date written YYYY-MM-DD; none for any other text or an impossible date.
std::optional<long> civil_day(std::string_view date);

// epsilon = n / A (A decayed to the day of counting) with u_rel(epsilon) = sqrt(u^2(n)/n^2 + (U/A0)^2).
struct efficiency_value {
    double activity = 0; // A on the day of counting
    double value = 0;
    double u_rel = 0;
};
efficiency_value efficiency_of(const net_rate& n, double reference_activity, double u_reference_activity, double days,
                               double half_life_years);

// The share of a pure source's counts that the other channel sees: chi = n_beta / n_alpha from an
// alpha source, delta = n_alpha / n_beta from a beta source, with
// u = factor sqrt(u^2(n_a)/n_a^2 + u^2(n_b)/n_b^2).
struct factor_value {
    double value = 0;
    double u = 0;
};
factor_value crosstalk_of(const net_rate& spilled, const net_rate& source);

} // namespace xkv
