#pragma once
// The trend and control chart of one listing column: points against their date, the mean and the
// 2- and 3-sigma lines of the plotted values, the points beyond 3 sigma, and error bars for the
// activities. The chart window and the CLI draw what this computes.

#include "results/text_table.h"

#include <string>
#include <vector>

namespace xkv {

struct control_lines {
    double mean = 0;
    double sigma = 0; // sample standard deviation (n - 1); 0 for fewer than two values
    double lower(int times) const { return mean - times * sigma; }
    double upper(int times) const { return mean + times * sigma; }
};

control_lines control_lines_of(const std::vector<double>& values);

struct control_point {
    long long seconds = 0; // when the measurement ended, seconds since 1970 (UTC)
    double value = 0;
    double error = 0; // half the error bar; 0 without one
    bool beyond_3_sigma = false;
    std::size_t series = 0; // index into chart_data::series
};

struct chart_data {
    std::string title; // the column's header
    std::vector<control_point> points;
    control_lines lines;
    bool error_bars = false;
    // One name per series ("S1 2024-05-02 12:00:00"): the rows of one sample saved at once.
    std::vector<std::string> series;
};

// A chart that comes from elsewhere than the listing's columns (the lab's QC records), by name.
struct named_chart {
    std::string name;
    chart_data chart;
};

// Axis marks on round numbers: 1, 2 or 5 times a power of ten apart, over a range widened to
// whole steps.
struct axis_ticks {
    double low = 0, high = 1; // the axis range, multiples of step
    double step = 1;
    bool operator==(const axis_ticks&) const = default;
};
axis_ticks round_number_ticks(double low, double high, int at_most = 8);

// Axis marks on round times (whole seconds, minutes, hours or days, UTC), each with its label:
// "hh:mm:ss" below a minute apart, "MM-dd hh:mm" below a day, else "yyyy-MM-dd".
struct time_tick {
    long long seconds = 0;
    std::string label;
    bool operator==(const time_tick&) const = default;
};
struct time_ticks {
    long long low = 0, high = 0; // the axis range, multiples of the step
    std::vector<time_tick> marks;
};
time_ticks round_time_ticks(long long low, long long high, int at_most = 8);

// The columns a chart can plot: the listing's numeric columns, by table column name.
std::vector<std::string> chart_columns();

// Rows 1.. of a listing (row 0 the headers); rows whose date or value is no number are left out.
// Activities get error bars of |activity| times their stored relative uncertainty. The rows of a
// series, saved at once under one time stamp, are spread back by their own counting times: each
// ends where the times of the measurements after it (by series number) leave it.
// Throws std::out_of_range for a column that is not a chart column.
chart_data chart_of_listing(const text_table& listing, const std::string& column);

} // namespace xkv
