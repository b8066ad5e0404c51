#pragma once
// The standard normal distribution: its distribution function and its quantile.

namespace xkv {

// Phi(x).
double normal_cdf(double x);
// k_p with Phi(k_p) = p, for 0 < p < 1; -inf / +inf at 0 / 1.
double normal_quantile(double p);

} // namespace xkv
