#pragma once
// The acceptance rules of the counter's daily QC: a check source's efficiency against the set's,
// a background count against the profile's, control limits from the accepted records of a kind,
// the scatter of a series, and whether QC is current. Pure functions over plain numbers.

#include "settings/read_only_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xkv {

enum class qc_verdict {
    pass,
    warn,
    fail
};

// "pass", "warn", "fail"; and back (none for any other text).
const char* verdict_name(qc_verdict verdict);
std::optional<qc_verdict> verdict_of(const std::string& name);
qc_verdict worse(qc_verdict a, qc_verdict b);

inline constexpr double default_qc_tolerance_percent = qc_options{}.tolerance_percent;
inline constexpr double default_qc_max_age_hours = qc_options{}.max_age_hours;
inline constexpr std::size_t control_window = 20; // accepted records before control limits apply

// A0 decayed over `days` with a half-life in years (of 365.25 days): A0 exp(-ln2 days / (365.25 T)).
double decayed_activity(double activity0, double days, double half_life_years);

// Net rate of one channel and its standard uncertainty: n = N/t - r0, u^2 = N/t^2 + r0/t0.
// r0 is the profile's background rate (0 when the set has no background correction), t0 its time.
struct net_rate {
    double value = 0;
    double uncertainty = 0;
};
net_rate net_rate_of(double counts, double seconds, double background_rate, double background_seconds);

// Check source: measured efficiency n / A against the set's; beyond the tolerance (in percent of
// the set's efficiency) is fail, at or within it pass.
struct source_check {
    double efficiency = 0;        // measured, n / A
    double u_efficiency = 0;      // its standard uncertainty from the counts alone
    double expected = 0;          // the set's efficiency
    double deviation_percent = 0; // 100 (measured / expected - 1)
    qc_verdict verdict = qc_verdict::pass;
};
source_check check_source(const net_rate& net, double activity, double expected_efficiency, double tolerance_percent);

// Background: the measured rate N/t above the profile's r0 by more than 3 sigma (sigma the
// uncertainty of N/t - r0) is fail. `sigmas` says by how many sigma it lies above.
struct background_check {
    double rate = 0;     // N / t
    double expected = 0; // r0
    double sigmas = 0;
    qc_verdict verdict = qc_verdict::pass;
};
background_check check_background(double counts, double seconds, double background_rate, double background_seconds);

// Control limits: mean and sample standard deviation of the last `control_window` accepted values
// (oldest first), the deviation never below the Poisson deviation of one record. None before
// `control_window` values exist.
struct control_limits {
    double mean = 0;
    double sigma = 0;
};
std::optional<control_limits> control_limits_of(const std::vector<double>& accepted, double poisson_sigma);
// Beyond 2 sigma warn, beyond 3 sigma fail; on a line is still the inner side.
qc_verdict control_verdict(double value, const control_limits& limits);

// A series' chi-square p-value outside 0.05..0.95 is warn; a series too short for the test passes.
qc_verdict chi_square_verdict(const std::vector<double>& counts);

// The last check of a kind: its verdict and when (seconds since 1970, UTC).
struct last_check {
    qc_verdict verdict = qc_verdict::fail;
    std::int64_t at = 0;
};
// Current: the last background and the last source check both passed or warned, and neither is
// older than `max_age_hours` at `now` (a check stamped after `now` is no proof).
bool qc_current(const std::optional<last_check>& background, const std::optional<last_check>& source, std::int64_t now,
                double max_age_hours);

} // namespace xkv
