#include "results/chart_stats.h"

#include "results/listing_columns.h"
#include "results/viewer_query.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
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

namespace {

// A listing row that has a date: where it plots and which series it belongs to.
struct dated_row {
    std::size_t row;
    long long saved;
    std::size_t series;
    std::int64_t series_number;
    long long counting_time;
};

std::int64_t whole_number(std::string_view text) {
    const auto n = number_of(text);
    return n && *n > 0 && *n < 1e15 ? static_cast<std::int64_t>(*n) : 0;
}

// The end of each row's measurement: a series saved at once ends at its time stamp, and each of
// its rows the counting times of the later ones before that.
std::vector<long long> measurement_ends(std::vector<dated_row> rows, std::size_t series_count) {
    std::vector<long long> end(rows.size());
    std::vector<std::vector<std::size_t>> members(series_count);
    for (std::size_t i = 0; i < rows.size(); ++i) members[rows[i].series].push_back(i);
    for (auto& m : members) {
        std::stable_sort(m.begin(), m.end(), [&rows](std::size_t a, std::size_t b) {
            return rows[a].series_number > rows[b].series_number;
        });
        long long later = 0;
        for (const std::size_t i : m) {
            end[i] = rows[i].saved - later;
            later += rows[i].counting_time;
        }
    }
    return end;
}

} // namespace

chart_data chart_of_listing(const text_table& listing, const std::string& column) {
    bool known = false;
    for (const std::string& c : chart_columns()) known = known || c == column;
    if (!known) throw std::out_of_range("'" + column + "' is not a numeric column of the listing");
    const std::size_t value_col = viewer_column(column);
    const std::size_t date_col = viewer_column("ts");
    const std::size_t sample_col = viewer_column("sample_id");
    const std::size_t number_col = viewer_column("series_number");
    const std::size_t time_col = viewer_column("time");
    std::size_t u_col = 0;
    chart_data chart;
    chart.title = std::string(viewer_headers[value_col]);
    if (column == "activity_l") chart.error_bars = true, u_col = viewer_column("u_activity_l");
    if (column == "activity_b") chart.error_bars = true, u_col = viewer_column("u_activity_b");

    std::vector<dated_row> rows;
    std::map<std::string, std::size_t, std::less<>> series_of; // sample and time stamp
    for (std::size_t r = 1; r < listing.row_count(); ++r) {
        const std::string_view date = listing.cell(r, date_col);
        const auto seconds = timestamp_seconds(date);
        if (!seconds) continue;
        const std::string_view sample = listing.cell(r, sample_col);
        std::string key = std::string(sample) + '\n' + std::string(date);
        const auto [at, added] = series_of.try_emplace(std::move(key), chart.series.size());
        if (added) chart.series.push_back(std::string(sample) + " " + std::string(date));
        rows.push_back({r, *seconds, at->second, whole_number(listing.cell(r, number_col)),
                        whole_number(listing.cell(r, time_col))});
    }
    const std::vector<long long> ends = measurement_ends(rows, chart.series.size());

    std::vector<double> values;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto value = number_of(listing.cell(rows[i].row, value_col));
        if (!value) continue;
        control_point p{ends[i], *value, 0, false, rows[i].series};
        if (chart.error_bars)
            if (const auto u = number_of(listing.cell(rows[i].row, u_col))) p.error = std::abs(*value * *u);
        chart.points.push_back(p);
        values.push_back(*value);
    }
    chart.lines = control_lines_of(values);
    for (control_point& p : chart.points)
        p.beyond_3_sigma = chart.lines.sigma > 0 && std::abs(p.value - chart.lines.mean) > 3 * chart.lines.sigma;
    return chart;
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
