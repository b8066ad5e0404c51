// Each QC acceptance rule at its edges; the numbers were worked out independently (python3).

#include "lab/qc_rules.h"

#include <gtest/gtest.h>

#include <vector>

using namespace xkv;

TEST(QcRules, CheckSourceEfficiencyIsDecayCorrectedAndJudgedAgainstTheTolerance) {
    // 100 Bq on 2020-01-01, measured 2026-12-08 (2533 days), half-life 432.6 a; 3000 counts in
    // 100 s over a background of 0.1 /s counted 1000 s.
    const double activity = decayed_activity(100, 2533, 432.6);
    EXPECT_NEAR(activity, 98.8949720791694, 1e-10);
    const net_rate net = net_rate_of(3000, 100, 0.1, 1000);
    EXPECT_NEAR(net.value, 29.9, 1e-12);
    EXPECT_NEAR(net.uncertainty, 0.5478138369920935, 1e-12);
    const source_check c = check_source(net, activity, 0.30, 5);
    EXPECT_NEAR(c.efficiency, 0.3023409519349866, 1e-12);
    EXPECT_NEAR(c.u_efficiency, 0.005539349731081844, 1e-12);
    EXPECT_NEAR(c.deviation_percent, 0.7803173116622153, 1e-9);
    EXPECT_EQ(c.verdict, qc_verdict::pass);

    // 0.53125 against 0.5 is 6.25 % off, exactly: on the tolerance passes, inside it fails.
    const net_rate exact{0.53125, 0};
    EXPECT_EQ(check_source(exact, 1, 0.5, 6.25).verdict, qc_verdict::pass);
    EXPECT_EQ(check_source(exact, 1, 0.5, 6.2).verdict, qc_verdict::fail);
    EXPECT_EQ(check_source({0.46875, 0}, 1, 0.5, 6.2).verdict, qc_verdict::fail) << "too low fails as well";
    EXPECT_EQ(check_source(exact, 1, 0, 5).verdict, qc_verdict::fail) << "a set without efficiency";
}

TEST(QcRules, BackgroundFailsAboveThreePoissonSigma) {
    // 9 counts in 1 s against none expected: 9 / sqrt(9) is 3 sigma exactly.
    EXPECT_EQ(check_background(9, 1, 0, 1000).verdict, qc_verdict::pass);
    EXPECT_EQ(check_background(10, 1, 0, 1000).verdict, qc_verdict::fail);
    // 150 counts in 1000 s over 0.1 /s (1000 s): 3.1622776601683786 sigma.
    const background_check c = check_background(150, 1000, 0.1, 1000);
    EXPECT_NEAR(c.sigmas, 3.1622776601683786, 1e-12);
    EXPECT_EQ(c.verdict, qc_verdict::fail);
    EXPECT_EQ(check_background(0, 1000, 0.1, 1000).verdict, qc_verdict::pass) << "below is never fail";
    EXPECT_EQ(check_background(0, 1000, 0, 1000).verdict, qc_verdict::pass);
}

TEST(QcRules, ControlLimitsFromTheLastTwentyAcceptedWithThePoissonFloor) {
    std::vector<double> values(19, 10.0);
    EXPECT_FALSE(control_limits_of(values, 0.5)) << "19 records: no limits yet";
    values.push_back(10);
    values.insert(values.begin(), {1000, -1000}); // older than the last 20
    const auto flat = control_limits_of(values, 0.5);
    ASSERT_TRUE(flat);
    EXPECT_EQ(flat->mean, 10);
    EXPECT_EQ(flat->sigma, 0.5) << "no scatter: the Poisson deviation of one record";
    EXPECT_EQ(control_verdict(11, *flat), qc_verdict::pass); // 2 sigma, on the line
    EXPECT_EQ(control_verdict(11.25, *flat), qc_verdict::warn);
    EXPECT_EQ(control_verdict(8.5, *flat), qc_verdict::warn); // 3 sigma below, on the line
    EXPECT_EQ(control_verdict(11.75, *flat), qc_verdict::fail);
    EXPECT_EQ(control_verdict(8.25, *flat), qc_verdict::fail);

    std::vector<double> ramp;
    for (int i = 1; i <= 20; ++i) ramp.push_back(i);
    const auto spread = control_limits_of(ramp, 1);
    ASSERT_TRUE(spread);
    EXPECT_DOUBLE_EQ(spread->mean, 10.5);
    EXPECT_NEAR(spread->sigma, 5.916079783099616, 1e-12) << "sample deviation above the floor";
}

TEST(QcRules, ChiSquareOutsideTheBandWarnsAndQcIsCurrentWithinTheMaxAge) {
    EXPECT_EQ(chi_square_verdict({1000, 1030, 970, 1010, 990}), qc_verdict::pass); // p 0.7358
    EXPECT_EQ(chi_square_verdict({1000, 1000, 1000}), qc_verdict::warn);           // p 1
    EXPECT_EQ(chi_square_verdict({1000}), qc_verdict::pass);

    const std::int64_t now = 1'800'000'000;
    const last_check day_old{qc_verdict::pass, now - 24 * 3600};
    const last_check warned{qc_verdict::warn, now - 60};
    EXPECT_TRUE(qc_current(day_old, warned, now, 24));
    EXPECT_FALSE(qc_current(last_check{qc_verdict::pass, now - 24 * 3600 - 1}, warned, now, 24));
    EXPECT_TRUE(qc_current(last_check{qc_verdict::pass, now - 24 * 3600 - 1}, warned, now, 25));
    EXPECT_FALSE(qc_current(day_old, last_check{qc_verdict::fail, now}, now, 24));
    EXPECT_FALSE(qc_current(std::nullopt, warned, now, 24)) << "no background check at all";
    EXPECT_FALSE(qc_current(day_old, last_check{qc_verdict::pass, now + 3600}, now, 24)) << "from the future";
    EXPECT_EQ(worse(qc_verdict::warn, qc_verdict::pass), qc_verdict::warn);
    EXPECT_EQ(verdict_of("warn"), qc_verdict::warn);
    EXPECT_FALSE(verdict_of("ok"));
}
