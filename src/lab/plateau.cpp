#include "lab/plateau.h"

#include <algorithm>
#include <cmath>

namespace xkv {

plateau_point counted_point(double voltage, double counts, double seconds) {
    plateau_point p;
    p.voltage = voltage;
    p.counts = counts;
    p.seconds = seconds;
    p.rate = counts / seconds;
    p.u_rate = std::sqrt(std::max(counts, 0.0)) / seconds;
    return p;
}

namespace {

// 100 b x 100 / (a + b V_mid) over points first..last.
double fitted_slope(const std::vector<plateau_point>& p, std::size_t first, std::size_t last) {
    const double n = static_cast<double>(last - first + 1);
    double mean_v = 0, mean_r = 0;
    for (std::size_t i = first; i <= last; ++i) mean_v += p[i].voltage, mean_r += p[i].rate;
    mean_v /= n;
    mean_r /= n;
    double svr = 0, svv = 0;
    for (std::size_t i = first; i <= last; ++i) {
        svr += (p[i].voltage - mean_v) * (p[i].rate - mean_r);
        svv += (p[i].voltage - mean_v) * (p[i].voltage - mean_v);
    }
    const double b = svr / svv;
    const double a = mean_r - b * mean_v;
    const double middle = (p[first].voltage + p[last].voltage) / 2;
    return 100 * b * 100 / (a + b * middle);
}

} // namespace

plateau_analysis analyse_plateau(std::vector<plateau_point> points, double max_slope) {
    std::stable_sort(points.begin(), points.end(),
                     [](const plateau_point& a, const plateau_point& b) { return a.voltage < b.voltage; });
    plateau_analysis out;
    out.points = std::move(points);
    const auto& p = out.points;
    for (std::size_t i = 0; i + 1 < p.size(); ++i)
        out.slopes.push_back(100 * (p[i + 1].rate - p[i].rate) / p[i].rate * 100 / (p[i + 1].voltage - p[i].voltage));

    // Runs of flat steps; a run of k steps holds k + 1 points. NaN and infinities are not flat.
    std::size_t best_first = 0, best_steps = 0;
    for (std::size_t i = 0; i < out.slopes.size();) {
        std::size_t j = i;
        while (j < out.slopes.size() && std::abs(out.slopes[j]) <= max_slope) ++j;
        if (j - i > best_steps) best_first = i, best_steps = j - i; // strictly longer: the lower wins a tie
        i = j > i ? j : i + 1;
    }
    if (best_steps < 2) return out;

    out.found = true;
    out.first = best_first;
    out.last = best_first + best_steps;
    out.start = p[out.first].voltage;
    out.end = p[out.last].voltage;
    out.slope = fitted_slope(p, out.first, out.last);
    const double target = out.start + out.length() / 3;
    out.operating_voltage = p[out.first].voltage;
    for (std::size_t i = out.first; i <= out.last; ++i)
        if (std::abs(p[i].voltage - target) < std::abs(out.operating_voltage - target))
            out.operating_voltage = p[i].voltage;
    return out;
}

} // namespace xkv
