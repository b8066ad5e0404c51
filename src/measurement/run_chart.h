#pragma once
// The run window's live chart as data: the alpha and beta value of every counter tick against the
// elapsed time of the series, and axis ranges that keep every point in view.

#include "measurement/run_engine.h"

#include <cstdint>
#include <vector>

namespace xkv {

struct chart_point {
    double t = 0; // seconds since the series started
    double value = 0;
    bool operator==(const chart_point&) const = default;
};

class run_chart_data {
public:
    // START: no points; the time axis spans the whole series.
    void clear(std::int32_t preset_time, std::int32_t series_total);
    // A counter tick. Earlier measurements of the series count with their preset time; a value that
    // is not a number adds no point.
    void add(const channel_sample& sample);

    const std::vector<chart_point>& alpha() const { return alpha_; }
    const std::vector<chart_point>& beta() const { return beta_; }
    // Axis ranges: time from 0, values from 0 (or the lowest value below it) to a round number above
    // the highest value.
    double time_max() const;
    double value_min() const;
    double value_max() const;

private:
    std::int32_t preset_time_ = 0;
    double span_ = 1;
    double time_max_ = 0;
    double value_min_ = 0;
    double value_max_ = 0;
    std::vector<chart_point> alpha_, beta_;
};

// The smallest of 1, 2 or 5 times a power of ten that is at least `x`; 1 for x <= 0.
double round_up_to_scale(double x);

} // namespace xkv
