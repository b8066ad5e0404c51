#include "results/chart_stats.h"

#include "results/listing_columns.h"
#include "results/viewer_query.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

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

namespace {

std::int64_t whole_number(std::string_view text) {
    const auto n = number_of(text);
    return n && *n > 0 && *n < 1e15 ? static_cast<std::int64_t>(*n) : 0;
}

} // namespace

chart_collector::chart_collector(const std::string& column) {
    bool known = false;
    for (const std::string& c : chart_columns()) known = known || c == column;
    if (!known) throw std::out_of_range("'" + column + "' is not a numeric column of the listing");
    value_col_ = viewer_column(column);
    date_col_ = viewer_column("ts");
    sample_col_ = viewer_column("sample_id");
    number_col_ = viewer_column("series_number");
    time_col_ = viewer_column("time");
    chart_.title = std::string(viewer_headers[value_col_]);
    if (column == "activity_l") chart_.error_bars = true, u_col_ = viewer_column("u_activity_l");
    if (column == "activity_b") chart_.error_bars = true, u_col_ = viewer_column("u_activity_b");
}

void chart_collector::add(const std::vector<std::string_view>& cells) {
    const auto cell = [&cells](std::size_t c) { return c < cells.size() ? cells[c] : std::string_view(); };
    const std::string_view date = cell(date_col_);
    const auto seconds = timestamp_seconds(date);
    if (!seconds) return;
    // A row without a value still belongs to its series: its counting time moves the others back.
    const std::string_view sample = cell(sample_col_);
    std::string name = std::string(sample) + " " + std::string(date);
    std::size_t series = 0;
    if (const auto at = series_of_.find(name); at != series_of_.end()) {
        series = at->second;
    } else {
        series = chart_.series.size();
        chart_.series.push_back(name);
        series_of_.emplace(std::move(name), series);
    }
    dated_row r{*seconds, 0, 0, series, whole_number(cell(number_col_)), whole_number(cell(time_col_)), false};
    if (const auto value = number_of(cell(value_col_))) {
        r.has_value = true;
        r.value = *value;
        if (chart_.error_bars)
            if (const auto u = number_of(cell(u_col_))) r.error = std::abs(*value * *u);
    }
    rows_.push_back(r);
}

chart_data chart_collector::finish() {
    // The end of each row's measurement: a series saved at once ends at its time stamp, and each of
    // its rows the counting times of the later ones (by series number) before that.
    std::vector<std::vector<std::size_t>> members(chart_.series.size());
    for (std::size_t i = 0; i < rows_.size(); ++i) members[rows_[i].series].push_back(i);
    std::vector<long long> end(rows_.size());
    for (auto& m : members) {
        std::stable_sort(m.begin(), m.end(), [this](std::size_t a, std::size_t b) {
            return rows_[a].series_number > rows_[b].series_number;
        });
        long long later = 0;
        for (const std::size_t i : m) {
            end[i] = rows_[i].saved - later;
            later += rows_[i].counting_time;
        }
    }
    members.clear();
    series_of_.clear();

    std::vector<double> values;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const dated_row& r = rows_[i];
        if (!r.has_value) continue;
        chart_.points.push_back({end[i], r.value, r.error, false, r.series});
        values.push_back(r.value);
    }
    rows_.clear();
    chart_.lines = control_lines_of(values);
    chart_.values = values.size();
    for (control_point& p : chart_.points)
        p.beyond_3_sigma = chart_.lines.sigma > 0 && std::abs(p.value - chart_.lines.mean) > 3 * chart_.lines.sigma;
    return std::move(chart_);
}

chart_data chart_of_listing(const text_table& listing, const std::string& column) {
    chart_collector collector(column);
    std::vector<std::string_view> cells;
    for (std::size_t r = 1; r < listing.row_count(); ++r) {
        listing.row_views(r, cells);
        collector.add(cells);
    }
    return collector.finish();
}

chart_data decimated(chart_data chart, int pixel_columns) {
    const std::size_t columns = static_cast<std::size_t>(std::max(pixel_columns, 1));
    if (chart.points.size() <= 2 * columns) return chart;
    const auto [first, last] =
        std::minmax_element(chart.points.begin(), chart.points.end(),
                            [](const control_point& a, const control_point& b) { return a.seconds < b.seconds; });
    const double t0 = static_cast<double>(first->seconds);
    const double span = static_cast<double>(last->seconds) - t0;
    struct extremes {
        std::size_t low = SIZE_MAX, high = SIZE_MAX;
    };
    std::vector<extremes> buckets(columns);
    for (std::size_t i = 0; i < chart.points.size(); ++i) {
        const control_point& p = chart.points[i];
        const double at = span > 0 ? (static_cast<double>(p.seconds) - t0) / span * static_cast<double>(columns) : 0;
        extremes& b = buckets[std::min(columns - 1, static_cast<std::size_t>(at))];
        if (b.low == SIZE_MAX || p.value < chart.points[b.low].value) b.low = i;
        if (b.high == SIZE_MAX || p.value > chart.points[b.high].value) b.high = i;
    }
    std::vector<control_point> kept;
    kept.reserve(2 * columns);
    for (const extremes& b : buckets) {
        if (b.low == SIZE_MAX) continue;
        const control_point& low = chart.points[b.low];
        const control_point& high = chart.points[b.high];
        const bool low_first = low.seconds <= high.seconds;
        kept.push_back(low_first ? low : high);
        if (b.high != b.low) kept.push_back(low_first ? high : low);
    }
    chart.points = std::move(kept);
    return chart;
}

std::string decimation_note(const chart_data& chart) {
    if (chart.values <= chart.points.size()) return {};
    return std::to_string(chart.values) + " values, drawn as the lowest and highest of each pixel column (" +
           std::to_string(chart.points.size()) + " points)";
}

axis_ticks round_number_ticks(double low, double high, int at_most) {
    if (!(high > low)) high = low + 1;
    at_most = std::max(at_most, 2);
    const double rough = (high - low) / at_most;
    double step = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * step >= rough * (1 - 1e-9)) {
            step *= m;
            break;
        }
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

namespace {

struct time_step {
    long long seconds;
    const char* shown; // which fields a label shows
};
constexpr time_step time_steps[] = {{1, "t"},       {2, "t"},       {5, "t"},       {10, "t"},      {15, "t"},
                                    {30, "t"},      {60, "dm"},     {120, "dm"},    {300, "dm"},    {600, "dm"},
                                    {900, "dm"},    {1800, "dm"},   {3600, "dm"},   {7200, "dm"},   {10800, "dm"},
                                    {21600, "dm"},  {43200, "dm"},  {86400, "d"},   {172800, "d"},  {604800, "d"},
                                    {1209600, "d"}, {2419200, "d"}, {7257600, "d"}, {31449600, "d"}};

long long floor_div(long long a, long long b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

std::string two(unsigned n) {
    return std::string(1, static_cast<char>('0' + n / 10 % 10)) + static_cast<char>('0' + n % 10);
}

std::string time_label(long long seconds, const char* shown) {
    using namespace std::chrono;
    const long long day = floor_div(seconds, 86400);
    const long long in_day = seconds - day * 86400;
    const year_month_day date{sys_days{days{day}}};
    const std::string ymd = std::to_string(static_cast<int>(date.year())) + "-" +
                            two(static_cast<unsigned>(date.month())) + "-" + two(static_cast<unsigned>(date.day()));
    const std::string hm =
        two(static_cast<unsigned>(in_day / 3600)) + ":" + two(static_cast<unsigned>(in_day / 60 % 60));
    if (shown[0] == 't') return hm + ":" + two(static_cast<unsigned>(in_day % 60));
    if (shown[1] == 'm') return ymd.substr(5) + " " + hm;
    return ymd;
}

} // namespace

time_ticks round_time_ticks(long long low, long long high, int at_most) {
    if (high <= low) high = low + 1;
    at_most = std::max(at_most, 2);
    const time_step* step = &time_steps[std::size(time_steps) - 1];
    for (const time_step& s : time_steps)
        if ((high - low) / s.seconds < at_most) {
            step = &s;
            break;
        }
    time_ticks ticks;
    ticks.low = floor_div(low, step->seconds) * step->seconds;
    ticks.high = -floor_div(-high, step->seconds) * step->seconds;
    for (long long t = ticks.low; t <= ticks.high; t += step->seconds)
        ticks.marks.push_back({t, time_label(t, step->shown)});
    return ticks;
}

} // namespace xkv
