#pragma once
// Characteristic limits of a Poisson counting measurement: decision threshold y* and detection
// limit y#, for a result y = w (r_g - r_0) with a relative uncertainty u_rel(w) of the factor w.

#include "settings/read_only_options.h"

#include <optional>

namespace xkv {

// k(1-alpha) = k(1-beta) unless the program options give another.
inline const double default_limits_k = read_only_options{}.limits_k;

struct counting_inputs {
    double gross_rate = 0;      // r_g, per second
    double gross_time = 1;      // t_g, seconds
    double background_rate = 0; // r_0; 0 without background correction
    double background_time = 1; // t_0, seconds
    double factor = 1;          // w: what the activity formula multiplies the net rate by
    double factor_u_rel = 0;    // u_rel(w)
};

struct characteristic_limits {
    double result = 0;      // y
    double uncertainty = 0; // u(y)
    double decision_threshold = 0;
    std::optional<double> detection_limit; // none when 1 - k^2 u_rel(w)^2 <= 0
    // A result at or below its decision threshold shows no effect of the sample.
    bool detected() const { return result > decision_threshold; }
};

characteristic_limits iso11929_limits(const counting_inputs& in, double k);

} // namespace xkv
