// The plateau analysis against numbers worked out independently (python3).

#include "lab/plateau.h"

#include <gtest/gtest.h>

using namespace xkv;

namespace {

std::vector<plateau_point> points_of(std::vector<double> rates, double from, double step) {
    std::vector<plateau_point> points;
    for (double r : rates) {
        plateau_point p;
        p.voltage = from;
        p.rate = r;
        points.push_back(p);
        from += step;
    }
    return points;
}

} // namespace

TEST(Plateau, TheLabsCheckCurve) {
    auto points = points_of(
        {2.0, 9.5, 41.0, 120.0, 230.0, 291.0, 300.0, 302.8, 305.5, 308.0, 311.0, 313.5, 316.0, 330.0, 365.0, 450.0},
        500, 50);
    std::swap(points[3], points[9]); // the order they came in does not matter
    const plateau_analysis a = analyse_plateau(points);
    ASSERT_TRUE(a.found);
    EXPECT_EQ(a.start, 800);
    EXPECT_EQ(a.end, 1100);
    EXPECT_EQ(a.length(), 300);
    EXPECT_NEAR(a.slope, 1.7363686943620171, 1e-9);
    EXPECT_EQ(a.operating_voltage, 900);
    ASSERT_EQ(a.slopes.size(), 15u);
    EXPECT_NEAR(a.slopes[5], 6.1855670103092795, 1e-12); // 750 to 800 V: just off the plateau
    EXPECT_NEAR(a.slopes[6], 1.8666666666666742, 1e-12); // 800 to 850 V
    EXPECT_NEAR(a.slopes[11], 1.594896331738437, 1e-12); // 1050 to 1100 V
    EXPECT_NEAR(a.slopes[12], 8.860759493670885, 1e-12); // 1100 to 1150 V
}

TEST(Plateau, EdgesOfTheRunRule) {
    // Two flat runs of three points (one step of exactly 2 % / 100 V each): the lower wins.
    const auto tie = analyse_plateau(points_of({100, 101, 101, 200, 202, 202}, 1000, 50));
    ASSERT_TRUE(tie.found);
    EXPECT_EQ(tie.start, 1000);
    EXPECT_EQ(tie.end, 1100);
    EXPECT_EQ(tie.operating_voltage, 1050) << "one third of 100 V: nearest is 1050, lower than 1000's 33 V";
    // Two points are no plateau; a step above the limit breaks the run.
    EXPECT_FALSE(analyse_plateau(points_of({100, 101}, 1000, 50)).found);
    EXPECT_FALSE(analyse_plateau(points_of({100, 101, 103}, 1000, 50)).found);
    EXPECT_TRUE(analyse_plateau(points_of({100, 101, 103}, 1000, 50), 4).found) << "--max-slope";
    // No counts at the start, or two steps at one voltage, never make a flat step.
    EXPECT_FALSE(analyse_plateau(points_of({0, 0, 0}, 1000, 50)).found);
    EXPECT_FALSE(analyse_plateau(points_of({100, 100, 100}, 1000, 0)).found);
    // Four points on a 300 V plateau: one third is 1100, a measured voltage.
    const auto even = analyse_plateau(points_of({100, 100, 100, 100}, 1000, 100));
    EXPECT_EQ(even.operating_voltage, 1100);
    EXPECT_EQ(even.slope, 0);
}

TEST(Plateau, ACountedPointHasItsPoissonUncertainty) {
    const plateau_point p = counted_point(900, 400, 100);
    EXPECT_EQ(p.rate, 4);
    EXPECT_EQ(p.u_rate, 0.2);
}
