// The run window's rules beside the engine, and its chart's data.

#include "measurement/run_chart.h"
#include "measurement/run_window_rules.h"

#include <gtest/gtest.h>

#include <limits>

using namespace xkv;

TEST(RunWindowRules, AReportNeverTurnsOnMoreThanTheRunsButtons) {
    const struct {
        button_set set;
        bool template_error;
        run_buttons expected; // STOP, START, ABORT, SAVE, CLOSE, PRINT REPORT
    } cases[] = {
        {button_set::ready, false, {false, true, false, true, true, true}},
        {button_set::finished, false, {false, true, false, true, true, true}},
        // After a communication failure START must stay off: it would clear the kept rows.
        {button_set::failed, false, {false, false, false, true, true, true}},
        {button_set::ready, true, {false, true, false, true, true, false}},
        {button_set::failed, true, {false, false, false, true, true, false}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(buttons_after_report(c.set, c.template_error), c.expected)
            << static_cast<int>(c.set) << " " << c.template_error;
}

TEST(RunWindowRules, GaugesStayInTheWidgetsRange) {
    constexpr std::int64_t int_max = std::numeric_limits<int>::max();
    EXPECT_EQ(gauge_of(40, 100), (gauge_values{40, 100}));
    // The instrument's time may pass the preset time before a time tick sees it.
    EXPECT_EQ(gauge_of(130, 100), (gauge_values{100, 100}));
    EXPECT_EQ(gauge_of(-3, 100), (gauge_values{0, 100}));
    EXPECT_EQ(gauge_of(0, 0), (gauge_values{0, 1}));
    // 100 measurements of a preset time near the 32-bit limit.
    EXPECT_EQ(gauge_of(int_max * 50, int_max * 100),
              (gauge_values{static_cast<int>(int_max), static_cast<int>(int_max)}));
}

TEST(RunWindowRules, TheTitleBarClosesOnlyWhereCloseIsOffered) {
    EXPECT_EQ(title_bar_close_of(run_state::closed, button_set::failed), title_bar_close::close);
    EXPECT_EQ(title_bar_close_of(run_state::ready, button_set::ready), title_bar_close::as_close_button);
    EXPECT_EQ(title_bar_close_of(run_state::finished, button_set::finished), title_bar_close::as_close_button);
    EXPECT_EQ(title_bar_close_of(run_state::failed, button_set::failed), title_bar_close::as_close_button);
    EXPECT_EQ(title_bar_close_of(run_state::counting, button_set::counting), title_bar_close::refuse);
    EXPECT_EQ(title_bar_close_of(run_state::preparing, button_set::none), title_bar_close::refuse);
}

TEST(RunChart, PointsRunOnThroughASeriesAndSkipValuesThatAreNoNumbers) {
    run_chart_data chart;
    chart.clear(100, 2);
    chart.add({1, 0, "0", "", 0.0, std::nullopt});
    chart.add({1, 40, "12", "37.5", 12.0, 37.5});
    chart.add({2, 10, "3", "x", 3.0, std::nullopt});
    EXPECT_EQ(chart.alpha(), (std::vector<chart_point>{{0, 0}, {40, 12}, {110, 3}}));
    EXPECT_EQ(chart.beta(), (std::vector<chart_point>{{40, 37.5}}));
    EXPECT_EQ(chart.time_max(), 200); // the whole series is in view from the start
    EXPECT_EQ(chart.value_min(), 0);
    EXPECT_EQ(chart.value_max(), 50); // 37.5 with room above, rounded up

    chart.add({2, 150, "-4", "900", -4.0, 900.0}); // past the preset time; a value below zero
    EXPECT_EQ(chart.time_max(), 250);
    EXPECT_EQ(chart.value_min(), -5);
    EXPECT_EQ(chart.value_max(), 1000);

    chart.clear(10, 1); // START
    EXPECT_TRUE(chart.alpha().empty());
    EXPECT_TRUE(chart.beta().empty());
    EXPECT_EQ(chart.time_max(), 10);
    EXPECT_EQ(chart.value_max(), 1);
}

TEST(RunChart, RoundsUpToOneTwoOrFiveTimesAPowerOfTen) {
    const std::pair<double, double> cases[] = {{0, 1},   {-3, 1}, {0.7, 1}, {1, 1},    {1.01, 2},  {2, 2},
                                               {2.2, 5}, {5, 5},  {6, 10},  {99, 100}, {101, 200}, {0.013, 0.02}};
    for (const auto& [x, expected] : cases) EXPECT_DOUBLE_EQ(round_up_to_scale(x), expected) << x;
}
