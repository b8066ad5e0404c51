#pragma once
// The trend and control chart of one listing column: points against their date, the mean and the
// 2- and 3-sigma lines of the plotted values, the points beyond 3 sigma, and error bars for the
// activities. The chart window and the CLI draw what this computes.

#include "results/text_table.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
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
    std::size_t values = 0; // the values the lines are computed from; more than points when decimated
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

// The same, one listing row at a time (cells in the viewer's column order), so a listing of any
// length is never held whole.
class chart_collector {
public:
    explicit chart_collector(const std::string& column); // throws std::out_of_range as above
    void add(const std::vector<std::string_view>& cells);
    chart_data finish();

private:
    // A dated listing row, kept small: a series is only known whole at the end.
    struct dated_row {
        long long saved;
        double value, error;
        std::size_t series;
        std::int64_t series_number;
        long long counting_time;
        bool has_value;
    };
    std::size_t value_col_ = 0, date_col_ = 0, u_col_ = 0, sample_col_ = 0, number_col_ = 0, time_col_ = 0;
    std::unordered_map<std::string, std::size_t> series_of_; // "sample date" to its series
    std::vector<dated_row> rows_;
    chart_data chart_;
};

// A plot `pixel_columns` wide shows no more than the lowest and the highest point of each pixel
// column (the time range cut into that many equal parts), in time order: what is drawn looks the
// same, the points beyond 3 sigma included, at a cost bounded by the width. The lines stay those
// of every value. A chart with no more than two points per column is left as it is.
chart_data decimated(chart_data chart, int pixel_columns);
// The plot width of a chart drawn into a PNG file without a window.
inline constexpr int chart_png_width = 1000;
// What the plot says of a decimated chart; empty when every value is drawn.
std::string decimation_note(const chart_data& chart);

} // namespace xkv
