#include "results/chart_stats.h"

#include "results/listing_columns.h"
#include "results/viewer_query.h"

#include <cmath>
#include <stdexcept>

namespace xkv {

control_lines control_lines_of(const std::vector<double>& values) {
    control_lines lines;
    if (values.empty()) return lines;
    double sum = 0;
    for (double v : values) sum += v;
    lines.mean = sum / static_cast<double>(values.size());
    if (values.size() < 2) return lines;
    double squares = 0;
    for (double v : values) squares += (v - lines.mean) * (v - lines.mean);
    lines.sigma = std::sqrt(squares / static_cast<double>(values.size() - 1));
    return lines;
}

std::vector<std::string> chart_columns() {
    std::vector<std::string> columns;
    for (std::size_t c = 0; c < viewer_column_count; ++c)
        if (listing_column_kind(c) == listing_kind::number && viewer_column_names[c] != "id")
            columns.emplace_back(viewer_column_names[c]);
    return columns;
}

chart_data chart_of_listing(const text_table& listing, const std::string& column) {
    bool known = false;
    for (const std::string& c : chart_columns()) known = known || c == column;
    if (!known) throw std::out_of_range("'" + column + "' is not a numeric column of the listing");
    const std::size_t value_col = viewer_column(column);
    const std::size_t date_col = viewer_column("ts");
    std::size_t u_col = 0;
    chart_data chart;
    chart.title = std::string(viewer_headers[value_col]);
    if (column == "activity_l") chart.error_bars = true, u_col = viewer_column("u_activity_l");
    if (column == "activity_b") chart.error_bars = true, u_col = viewer_column("u_activity_b");

    std::vector<double> values;
    for (std::size_t r = 1; r < listing.row_count(); ++r) {
        const auto seconds = timestamp_seconds(listing.cell(r, date_col));
        const auto value = number_of(listing.cell(r, value_col));
        if (!seconds || !value) continue;
        control_point p{*seconds, *value, 0, false};
        if (chart.error_bars)
            if (const auto u = number_of(listing.cell(r, u_col))) p.error = std::abs(*value * *u);
        chart.points.push_back(p);
        values.push_back(*value);
    }
    chart.lines = control_lines_of(values);
    for (control_point& p : chart.points)
        p.beyond_3_sigma = chart.lines.sigma > 0 && std::abs(p.value - chart.lines.mean) > 3 * chart.lines.sigma;
    return chart;
}

} // namespace xkv
