#include "results/iso11929.h"

#include <cmath>

namespace xkv {

characteristic_limits iso11929_limits(const counting_inputs& in, double k) {
    const double w = in.factor;
    const double u2 = in.factor_u_rel * in.factor_u_rel;
    characteristic_limits out;
    out.result = w * (in.gross_rate - in.background_rate);
    out.uncertainty = std::sqrt(w * w * (in.gross_rate / in.gross_time + in.background_rate / in.background_time) +
                                out.result * out.result * u2);
    out.decision_threshold =
        k * std::abs(w) * std::sqrt(in.background_rate / in.gross_time + in.background_rate / in.background_time);
    // Closed form of y# = y* + k u~(y#), with u~ the uncertainty of a true value y#.
    const double denominator = 1 - k * k * u2;
    if (denominator > 0)
        out.detection_limit = (2 * out.decision_threshold + k * k * std::abs(w) / in.gross_time) / denominator;
    return out;
}

} // namespace xkv
