#include "results/counter_qc.h"
#include "results/viewer_query.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace xkv;

namespace {

TEST(CounterQc, ChiSquareCheckValueAndItsUpperTail) {
    const auto r = chi_square_test({1000, 1030, 970, 1010, 990});
    ASSERT_TRUE(r);
    EXPECT_DOUBLE_EQ(r->chi_square, 2.0);
    EXPECT_EQ(r->degrees_of_freedom, 4);
    EXPECT_NEAR(r->p_value, 2 * std::exp(-1.0), 1e-13); // Q(2, 1) = e^-1 (1 + 1)
    EXPECT_FALSE(r->flagged);
    EXPECT_FALSE(chi_square_test({1000}));
    EXPECT_FALSE(chi_square_test({0, 0}));
    EXPECT_TRUE(chi_square_test({1000, 1000, 1000})->flagged); // too little scatter: p = 1

    // The upper tail against closed forms, on both sides of the series/fraction switch.
    const struct {
        double a, x, q;
    } tails[] = {
        {0.5, 0.3, std::erfc(std::sqrt(0.3))},
        {0.5, 12.0, std::erfc(std::sqrt(12.0))},
        {1, 0.2, std::exp(-0.2)},
        {3, 7.5, std::exp(-7.5) * (1 + 7.5 + 7.5 * 7.5 / 2)},
        {10, 0, 1},
    };
    for (const auto& t : tails) EXPECT_NEAR(upper_regularized_gamma(t.a, t.x), t.q, 1e-13) << t.a << " " << t.x;
}

TEST(CounterQc, SeriesAreConsecutiveRowsOfOneSampleInACounterMode) {
    series_collector collector;
    const auto add = [&collector](const char* id, const char* sample, const char* number, const char* mode,
                                  const char* p1) {
        std::vector<std::string> row(viewer_column_count);
        row[viewer_column("id")] = id;
        row[viewer_column("sample_id")] = sample;
        row[viewer_column("series_number")] = number;
        row[viewer_column("mode")] = mode;
        row[viewer_column("p1")] = p1;
        row[viewer_column("p2")] = "7";
        collector.add(std::vector<std::string_view>(row.begin(), row.end()));
    };
    add("1", "A", "1", "C1-C2", "10");
    add("2", "A", "2", "C1-C2", "11");
    add("3", "A", "1", "C1-C2", "12"); // numbering starts again: a new run
    add("4", "B", "2", "C1-C2", "13"); // another sample
    add("5", "B", "3", "R1,R2", "14"); // ratemeter rows are no counts
    add("6", "B", "4", "C1,C2", "x");  // no number
    const auto series = collector.finish();
    ASSERT_EQ(series.size(), 3u);
    EXPECT_EQ(series[0].first_id, "1");
    EXPECT_EQ(series[0].last_id, "2");
    EXPECT_EQ(series[0].alpha, (std::vector<double>{10, 11}));
    EXPECT_EQ(series[1].alpha, (std::vector<double>{12}));
    EXPECT_EQ(series[2].sample_id, "B");
}

TEST(CounterQc, TheRunWindowLineAfterASeries) {
    run_table table;
    const char* counts[] = {"1000", "1030", "970", "1010", "990"};
    for (int i = 0; i < 5; ++i) {
        table[i].sample_id = "CHK";
        table[i].mode = "C1,C2";
        table[i].p1 = counts[i];
        table[i].p2 = "500";
    }
    EXPECT_EQ(run_chi_square_text(table),
              "alpha: chi2 2, 4 dof, p 0.735758882342885, ok   beta: chi2 0, 4 dof, p 1, outside 0.05..0.95");
    table[2].mode = "R1,R2"; // a ratemeter mode gives rates, not counts
    EXPECT_EQ(run_chi_square_text(table), "");
}

} // namespace
