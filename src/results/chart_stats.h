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
    long long seconds = 0; // time stamp, seconds since 1970 (UTC)
    double value = 0;
    double error = 0; // half the error bar; 0 without one
    bool beyond_3_sigma = false;
};

struct chart_data {
    std::string title; // the column's header
    std::vector<control_point> points;
    control_lines lines;
    bool error_bars = false;
};

// A chart that comes from elsewhere than the listing's columns (the lab's QC records), by name.
struct named_chart {
    std::string name;
    chart_data chart;
};

// The columns a chart can plot: the listing's numeric columns, by table column name.
std::vector<std::string> chart_columns();

// Rows 1.. of a listing (row 0 the headers); rows whose date or value is no number are left out.
// Activities get error bars of |activity| times their stored relative uncertainty.
// Throws std::out_of_range for a column that is not a chart column.
chart_data chart_of_listing(const text_table& listing, const std::string& column);

} // namespace xkv
