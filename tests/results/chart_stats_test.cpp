#include "results/chart_stats.h"
#include "results/listing_columns.h"
#include "results/viewer_query.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace xkv;

namespace {

TEST(ChartStats, ControlLinesAndPointsBeyondThreeSigmaOfAKnownSeries) {
    const control_lines one = control_lines_of({5});
    EXPECT_EQ(one.mean, 5);
    EXPECT_EQ(one.sigma, 0);

    // Eleven values: ten of 10 and one of 21 give mean 11 and sigma sqrt(110 / 10).
    text_table listing;
    listing.add_row(viewer_headers);
    for (int i = 0; i < 12; ++i) {
        std::vector<std::string> row(viewer_column_count);
        row[viewer_column("ts")] = "2024-03-" + std::to_string(10 + i) + " 12:00:00";
        row[viewer_column("activity_l")] = i == 7 ? "21" : "10";
        row[viewer_column("u_activity_l")] = "0.1";
        if (i == 3) row[viewer_column("activity_l")] = ""; // no number: not plotted
        listing.add_row(row);
    }
    const chart_data chart = chart_of_listing(listing, "activity_l");
    EXPECT_EQ(chart.title, "activity alpha");
    ASSERT_EQ(chart.points.size(), 11u);
    EXPECT_DOUBLE_EQ(chart.lines.mean, 11);
    EXPECT_DOUBLE_EQ(chart.lines.sigma, std::sqrt(11.0));
    EXPECT_DOUBLE_EQ(chart.lines.upper(2), 11 + 2 * std::sqrt(11.0));
    EXPECT_DOUBLE_EQ(chart.lines.lower(3), 11 - 3 * std::sqrt(11.0));
    int beyond = 0;
    for (const auto& p : chart.points) beyond += p.beyond_3_sigma;
    EXPECT_EQ(beyond, 1); // 21 lies 3.015 sigma above the mean
    EXPECT_TRUE(chart.points[6].beyond_3_sigma);
    EXPECT_TRUE(chart.error_bars);
    EXPECT_DOUBLE_EQ(chart.points[6].error, 2.1);
    EXPECT_EQ(chart.points[0].seconds, 1710072000); // 2024-03-10 12:00:00 UTC

    EXPECT_FALSE(chart_of_listing(listing, "p1").error_bars);
    EXPECT_THROW(chart_of_listing(listing, "sample_id"), std::out_of_range);
    EXPECT_FALSE(timestamp_seconds("2024-13-01 00:00:00"));
}

TEST(ChartStats, ASeriesSavedAtOnceIsSpreadByItsOwnCountingTimesAndNamed) {
    text_table listing;
    listing.add_row(viewer_headers);
    const struct {
        const char *sample, *ts, *series_number, *time, *value;
    } rows[] = {{"S1", "2024-05-02 12:00:00", "2", "100", "2"},
                {"S1", "2024-05-02 12:00:00", "1", "100", "1"},
                {"S1", "2024-05-02 12:00:00", "3", "50", "3"},
                {"S1", "2024-05-03 08:00:00", "1", "100", "4"}};
    for (const auto& r : rows) {
        std::vector<std::string> row(viewer_column_count);
        row[viewer_column("sample_id")] = r.sample;
        row[viewer_column("ts")] = r.ts;
        row[viewer_column("series_number")] = r.series_number;
        row[viewer_column("time")] = r.time;
        row[viewer_column("p1")] = r.value;
        listing.add_row(row);
    }
    const chart_data chart = chart_of_listing(listing, "p1");
    EXPECT_EQ(chart.series, (std::vector<std::string>{"S1 2024-05-02 12:00:00", "S1 2024-05-03 08:00:00"}));
    ASSERT_EQ(chart.points.size(), 4u);
    // Saved at 12:00:00 (1714651200): the third ends then, the second 50 s and the first 150 s before.
    EXPECT_EQ(chart.points[0].seconds, 1714651150);
    EXPECT_EQ(chart.points[1].seconds, 1714651050);
    EXPECT_EQ(chart.points[2].seconds, 1714651200);
    EXPECT_EQ(chart.points[2].series, 0u);
    EXPECT_EQ(chart.points[3].series, 1u);
}

TEST(ChartStats, AxisMarksFallOnRoundNumbersAndRoundTimes) {
    const axis_ticks y = round_number_ticks(0.13, 0.87);
    EXPECT_DOUBLE_EQ(y.step, 0.1);
    EXPECT_DOUBLE_EQ(y.low, 0.1);
    EXPECT_DOUBLE_EQ(y.high, 0.9);

    // 2024-05-02 10:07:13 to 16:52:40 UTC: hours, from 10:00 (1714644000) to 17:00 (1714669200).
    const time_ticks hours = round_time_ticks(1714644433, 1714668760);
    EXPECT_EQ(hours.low, 1714644000);
    EXPECT_EQ(hours.high, 1714669200);
    ASSERT_EQ(hours.marks.size(), 8u);
    EXPECT_EQ(hours.marks[0], (time_tick{1714644000, "05-02 10:00"}));
    EXPECT_EQ(hours.marks[7].label, "05-02 17:00");
    // Eleven days: every second midnight, 2024-03-10 (1710028800) to 2024-03-22.
    const time_ticks days = round_time_ticks(1710072000, 1711022400);
    EXPECT_EQ(days.low, 1710028800);
    EXPECT_EQ(days.marks.front().label, "2024-03-10");
    EXPECT_EQ(days.marks.back().label, "2024-03-22");
    EXPECT_EQ(round_time_ticks(1714644433, 1714644460).marks[0].label, "10:07:10");
}

} // namespace

TEST(ChartStats, ALongListingIsDrawnAsTheLowestAndHighestOfEachPixelColumn) {
    chart_data chart;
    std::vector<double> values;
    for (int i = 0; i < 1000; ++i) chart.points.push_back({i, static_cast<double>(i % 7), 0, false});
    chart.points.push_back({555, 100, 0, true}); // an outlier in the sixth of ten columns
    chart.values = chart.points.size();
    const chart_data shown = decimated(chart, 10);
    ASSERT_EQ(shown.points.size(), 20u); // 0 and 6 in each column of 100 seconds
    EXPECT_EQ(shown.points[10].value, 0);
    EXPECT_EQ(shown.points[11].value, 100);
    EXPECT_TRUE(shown.points[11].beyond_3_sigma);
    for (std::size_t i = 1; i < shown.points.size(); ++i)
        EXPECT_LE(shown.points[i - 1].seconds, shown.points[i].seconds);
    EXPECT_EQ(decimation_note(shown), "1001 values, drawn as the lowest and highest of each pixel column (20 points)");
    EXPECT_EQ(decimation_note(chart), "");
    EXPECT_EQ(decimated(chart, 600).points.size(), 1001u) << "two points per column or fewer: drawn as they are";
}
