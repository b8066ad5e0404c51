#include "lab/qc_rules.h"

#include "results/counter_qc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace xkv {

const char* verdict_name(qc_verdict verdict) {
    switch (verdict) {
    case qc_verdict::pass: return "pass";
    case qc_verdict::warn: return "warn";
    case qc_verdict::fail: return "fail";
    }
    return "fail";
}

std::optional<qc_verdict> verdict_of(const std::string& name) {
    for (qc_verdict v : {qc_verdict::pass, qc_verdict::warn, qc_verdict::fail})
        if (name == verdict_name(v)) return v;
    return std::nullopt;
}

qc_verdict worse(qc_verdict a, qc_verdict b) { return static_cast<int>(a) > static_cast<int>(b) ? a : b; }

double decayed_activity(double activity0, double days, double half_life_years) {
    return activity0 * std::exp(-std::numbers::ln2 * days / (365.25 * half_life_years));
}

net_rate net_rate_of(double counts, double seconds, double background_rate, double background_seconds) {
    net_rate n;
    n.value = counts / seconds - background_rate;
    n.uncertainty = std::sqrt(counts / (seconds * seconds) + background_rate / background_seconds);
    return n;
}

source_check check_source(const net_rate& net, double activity, double expected_efficiency, double tolerance_percent) {
    source_check c;
    c.efficiency = net.value / activity;
    c.u_efficiency = net.uncertainty / activity;
    c.expected = expected_efficiency;
    c.deviation_percent = 100 * (c.efficiency / expected_efficiency - 1);
    // A NaN (no activity, no expected efficiency) is never within the tolerance.
    c.verdict = std::abs(c.deviation_percent) <= tolerance_percent ? qc_verdict::pass : qc_verdict::fail;
    return c;
}

background_check check_background(double counts, double seconds, double background_rate, double background_seconds) {
    background_check c;
    c.rate = counts / seconds;
    c.expected = background_rate;
    const net_rate excess = net_rate_of(counts, seconds, background_rate, background_seconds);
    c.sigmas = excess.uncertainty > 0 ? excess.value / excess.uncertainty : (excess.value > 0 ? INFINITY : 0);
    c.verdict = c.sigmas > 3 || std::isnan(c.sigmas) ? qc_verdict::fail : qc_verdict::pass;
    return c;
}

std::optional<control_limits> control_limits_of(const std::vector<double>& accepted, double poisson_sigma) {
    if (accepted.size() < control_window) return std::nullopt;
    const auto first = accepted.end() - static_cast<std::ptrdiff_t>(control_window);
    double sum = 0;
    for (auto it = first; it != accepted.end(); ++it) sum += *it;
    control_limits l;
    l.mean = sum / control_window;
    double squares = 0;
    for (auto it = first; it != accepted.end(); ++it) squares += (*it - l.mean) * (*it - l.mean);
    l.sigma = std::max(std::sqrt(squares / (control_window - 1)), poisson_sigma);
    return l;
}

qc_verdict control_verdict(double value, const control_limits& limits) {
    const double off = std::abs(value - limits.mean);
    if (!(off <= 3 * limits.sigma)) return qc_verdict::fail;
    if (off > 2 * limits.sigma) return qc_verdict::warn;
    return qc_verdict::pass;
}

qc_verdict chi_square_verdict(const std::vector<double>& counts) {
    const auto test = chi_square_test(counts);
    return test && test->flagged ? qc_verdict::warn : qc_verdict::pass;
}

bool qc_current(const std::optional<last_check>& background, const std::optional<last_check>& source, std::int64_t now,
                double max_age_hours) {
    const auto fresh = [&](const std::optional<last_check>& c) {
        if (!c || c->verdict == qc_verdict::fail) return false;
        const std::int64_t age = now - c->at;
        return age >= 0 && static_cast<double>(age) <= max_age_hours * 3600;
    };
    return fresh(background) && fresh(source);
}

} // namespace xkv
