#include "measurement/run_chart.h"

#include <algorithm>
#include <cmath>

namespace xkv {

double round_up_to_scale(double x) {
    if (!(x > 0) || !std::isfinite(x)) return 1;
    const double power = std::pow(10.0, std::floor(std::log10(x)));
    const double mantissa = x / power;
    for (const double step : {1.0, 2.0, 5.0})
        if (mantissa <= step * (1 + 1e-12)) return step * power;
    return 10 * power;
}

void run_chart_data::clear(std::int32_t preset_time, std::int32_t series_total) {
    preset_time_ = preset_time;
    span_ = std::max(1.0, static_cast<double>(preset_time) * std::max(1, series_total));
    time_max_ = 0;
    value_min_ = 0;
    value_max_ = 0;
    alpha_.clear();
    beta_.clear();
}

void run_chart_data::add(const channel_sample& s) {
    const double t = static_cast<double>(s.elapsed) + static_cast<double>(s.series_number - 1) * preset_time_;
    const auto put = [&](std::vector<chart_point>& points, const std::optional<double>& value) {
        if (!value || !std::isfinite(*value)) return;
        points.push_back({t, *value});
        time_max_ = std::max(time_max_, t);
        value_min_ = std::min(value_min_, *value);
        value_max_ = std::max(value_max_, *value);
    };
    put(alpha_, s.alpha_value);
    put(beta_, s.beta_value);
}

double run_chart_data::time_max() const { return std::max(span_, time_max_); }

double run_chart_data::value_min() const { return value_min_ < 0 ? -round_up_to_scale(-value_min_ * 1.1) : 0; }

double run_chart_data::value_max() const { return round_up_to_scale(value_max_ * 1.1); }

} // namespace xkv
