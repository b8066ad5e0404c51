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

} // namespace
