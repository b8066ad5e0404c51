#include "lab/lab_result.h"

#include "lab/normal_distribution.h"

#include <cmath>
#include <numbers>

namespace xkv {

namespace {

double net(const counting_inputs& in) { return in.gross_rate - in.background_rate; }

// Variance of a channel's net rate: each rate counted over its own time.
double net_variance(const counting_inputs& in) {
    return in.gross_rate / in.gross_time + in.background_rate / in.background_time;
}

double result_of(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x) {
    return own.factor * (net(own) - x.subtracted * net(other)) / (1 - x.subtracted * x.kept);
}

// u(y) for the inputs as given, as |w/D| sqrt(...): without crosstalk the threshold k |w/D| sqrt(...)
// is then, to the last bit, the k |w| sqrt(r_0/t_g + r_0/t_0) the limits have always shown.
struct spread {
    double scale = 0; // |w/D|
    double root = 0;
    double value() const { return scale * root; }
};

spread spread_of(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x, double y) {
    const double d = 1 - x.subtracted * x.kept;
    const double scale = std::abs(own.factor / d);
    const double y_over_w = y / own.factor;
    // dy/d(subtracted) = (-w n_other + y kept) / D; dy/d(kept) = y subtracted / D; dy/dw = y / w.
    const double by_subtracted = (-net(other) + y_over_w * x.kept) * x.u_subtracted;
    const double by_kept = y_over_w * x.subtracted * x.u_kept;
    const double by_factor = y_over_w * d * own.factor_u_rel;
    const double inner = net_variance(own) + x.subtracted * x.subtracted * net_variance(other) +
                         by_subtracted * by_subtracted + by_kept * by_kept + by_factor * by_factor;
    return {scale, std::sqrt(inner)};
}

// phi(x) / Phi(x), also far in the lower tail where Phi underflows.
double normal_ratio(double x) {
    if (x > -30) return std::exp(-x * x / 2) / (std::sqrt(2 * std::numbers::pi) * normal_cdf(x));
    const double x2 = x * x;
    return -x / (1 - 1 / x2 + 3 / (x2 * x2));
}

spread true_value_spread(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x,
                         double true_value) {
    counting_inputs with = own;
    const double d = 1 - x.subtracted * x.kept;
    with.gross_rate = own.background_rate + x.subtracted * net(other) + true_value * d / own.factor;
    return spread_of(with, other, x, true_value);
}

} // namespace

double true_value_uncertainty(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x,
                              double true_value) {
    return true_value_spread(own, other, x, true_value).value();
}

std::optional<double> detection_limit_by_iteration(const counting_inputs& own, const counting_inputs& other,
                                                   const channel_crosstalk& x, double k, double decision_threshold) {
    double y = decision_threshold;
    for (int i = 0; i < 10000; ++i) {
        const double next = decision_threshold + k * true_value_uncertainty(own, other, x, y);
        if (!std::isfinite(next)) return std::nullopt;
        if (std::abs(next - y) <= 1e-15 * std::abs(next)) return next;
        y = next;
    }
    return std::nullopt;
}

lab_channel_result lab_channel(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x,
                               double k, double gamma) {
    lab_channel_result r;
    r.result = result_of(own, other, x);
    r.uncertainty = spread_of(own, other, x, r.result).value();
    const spread at_zero = true_value_spread(own, other, x, 0);
    r.decision_threshold = k * at_zero.scale * at_zero.root;
    const bool crosstalk = x.subtracted != 0 || x.u_subtracted != 0 || x.kept != 0 || x.u_kept != 0;
    if (crosstalk) {
        r.detection_limit = detection_limit_by_iteration(own, other, x, k, r.decision_threshold);
    } else {
        // The same equation has a closed form without crosstalk: the limits shown before crosstalk
        // was calibrated stay the same to the last digit.
        r.detection_limit = iso11929_limits(own, k).detection_limit;
    }

    const double y = r.result, u = r.uncertainty;
    if (!(u > 0)) { // nothing uncertain: the result is its own estimate and interval
        r.best_estimate = r.lower = r.upper = y;
        return r;
    }
    const double omega = normal_cdf(y / u);
    r.best_estimate = y + u * normal_ratio(y / u);
    r.best_uncertainty = std::sqrt(std::max(0.0, u * u - (r.best_estimate - y) * r.best_estimate));
    r.lower = y - normal_quantile(omega * (1 - gamma / 2)) * u;
    r.upper = y + normal_quantile(1 - omega * gamma / 2) * u;
    return r;
}

std::array<lab_channel_result, 2> lab_results(const counting_inputs& alpha, const counting_inputs& beta,
                                              const crosstalk_factors& x, double k, double gamma) {
    return {
        lab_channel(alpha, beta, {x.beta_to_alpha, x.u_beta_to_alpha, x.alpha_to_beta, x.u_alpha_to_beta}, k, gamma),
        lab_channel(beta, alpha, {x.alpha_to_beta, x.u_alpha_to_beta, x.beta_to_alpha, x.u_beta_to_alpha}, k, gamma)};
}

} // namespace xkv
