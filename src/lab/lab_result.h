#pragma once
// The lab result of one channel after ISO 11929, with the alpha/beta crosstalk taken out:
//   y_alpha = w_alpha (n_alpha - delta n_beta) / D,  y_beta = w_beta (n_beta - chi n_alpha) / D,
//   n = r_g - r_0, D = 1 - chi delta,
// its uncertainty by first-order propagation, the decision threshold and detection limit, the best
// estimate and the probabilistically symmetric coverage interval.

#include "results/iso11929.h"
#include "settings/read_only_options.h"

#include <array>
#include <optional>

namespace xkv {

// The default probability 1 - gamma of the coverage interval is 0.95.
inline constexpr double default_limits_gamma = read_only_options{}.limits_gamma;

// chi: the share of alpha counts seen in the beta channel; delta: of beta counts in the alpha channel.
struct crosstalk_factors {
    double alpha_to_beta = 0; // chi
    double u_alpha_to_beta = 0;
    double beta_to_alpha = 0; // delta
    double u_beta_to_alpha = 0;
    bool none() const {
        return alpha_to_beta == 0 && u_alpha_to_beta == 0 && beta_to_alpha == 0 && u_beta_to_alpha == 0;
    }
};

struct lab_channel_result {
    double result = 0;      // y
    double uncertainty = 0; // u(y)
    double decision_threshold = 0;
    std::optional<double> detection_limit; // none when the iteration does not converge
    double best_estimate = 0;              // y^
    double best_uncertainty = 0;           // u(y^)
    double lower = 0;                      // the coverage interval
    double upper = 0;
    bool detected() const { return result > decision_threshold; }
};

// One channel: `own` is this channel's counting, `other` the other channel's; `subtracted` the factor
// that carries the other channel's counts into this one (delta for alpha, chi for beta) and `kept`
// the reverse one.
struct channel_crosstalk {
    double subtracted = 0, u_subtracted = 0;
    double kept = 0, u_kept = 0;
};
lab_channel_result lab_channel(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x,
                               double k, double gamma);

// Alpha, then beta.
std::array<lab_channel_result, 2> lab_results(const counting_inputs& alpha, const counting_inputs& beta,
                                              const crosstalk_factors& x, double k, double gamma);

// u~(y~): the uncertainty of a true value y~, this channel's gross rate set to the one that gives it.
double true_value_uncertainty(const counting_inputs& own, const counting_inputs& other, const channel_crosstalk& x,
                              double true_value);
// y# = y* + k u~(y#), iterated from y*; none when it does not converge.
std::optional<double> detection_limit_by_iteration(const counting_inputs& own, const counting_inputs& other,
                                                   const channel_crosstalk& x, double k, double decision_threshold);

} // namespace xkv
