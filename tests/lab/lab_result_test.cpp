#include "lab/lab_result.h"
#include "lab/normal_distribution.h"
#include "settings/read_only_options.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace xkv;

namespace {

// The check values below were computed apart from the program (python3: numerical derivatives for
// the propagation, math.erf and bisection for the quantiles).
constexpr double k = 1.645, gamma = 0.05;

struct two_channels {
    counting_inputs alpha{0.5, 1000, 0.002, 10000, 2, 0.05};
    counting_inputs beta{0.9, 1000, 0.8, 10000, 2.5, 0.04};
    crosstalk_factors x{0.05, 0.005, 0.002, 0.001};
};

void expect_relative(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::abs(expected)) << what;
}

TEST(LabResult, BothChannelsWithCrosstalk) {
    const two_channels in;
    const auto r = lab_results(in.alpha, in.beta, in.x, k, gamma);
    expect_relative(r[0].result, 0.9956995699569957, "y alpha");
    expect_relative(r[0].uncertainty, 0.06693117849735133, "u alpha");
    expect_relative(r[0].decision_threshold, 0.005112116778331615, "y* alpha");
    ASSERT_TRUE(r[0].detection_limit);
    expect_relative(*r[0].detection_limit, 0.015743275034515752, "y# alpha");
    expect_relative(r[0].best_estimate, 0.9956995699569957, "best alpha");
    expect_relative(r[0].best_uncertainty, 0.06693117849735133, "u best alpha");
    expect_relative(r[0].lower, 0.8645168706593654, "lower alpha");
    expect_relative(r[0].upper, 1.1268822692546259, "upper alpha");
    EXPECT_TRUE(r[0].detected());

    expect_relative(r[1].result, 0.18776877687768767, "y beta");
    expect_relative(r[1].uncertainty, 0.07892521041881143, "u beta");
    expect_relative(r[1].decision_threshold, 0.12423106935813687, "y* beta");
    ASSERT_TRUE(r[1].detection_limit);
    expect_relative(*r[1].detection_limit, 0.25633739125549254, "y# beta");
    expect_relative(r[1].best_estimate, 0.18964317166127234, "best beta");
    expect_relative(r[1].best_uncertainty, 0.07664021573527385, "u best beta");
    expect_relative(r[1].lower, 0.04316239777056868, "lower beta");
    expect_relative(r[1].upper, 0.34275339601810373, "upper beta");
}

TEST(LabResult, NegativeResultHasAPositiveBestEstimateAndInterval) {
    two_channels in;
    in.beta.gross_rate = 0.82;
    const auto beta = lab_results(in.alpha, in.beta, in.x, k, gamma)[1];
    expect_relative(beta.result, -0.012251225122512489, "y");
    expect_relative(beta.best_estimate, 0.0558549894477498, "best");
    expect_relative(beta.best_uncertainty, 0.04323043501355452, "u best");
    expect_relative(beta.lower, 0.0020873518513214243, "lower");
    expect_relative(beta.upper, 0.16055771059692986, "upper");
    EXPECT_FALSE(beta.detected());
    // Far below zero the estimate stays finite and positive.
    in.beta.gross_rate = 0.0;
    const auto far = lab_results(in.alpha, in.beta, in.x, k, gamma)[1];
    EXPECT_TRUE(std::isfinite(far.best_estimate) && far.best_estimate > 0);
    EXPECT_TRUE(std::isfinite(far.lower) && far.lower >= 0);
}

TEST(LabResult, WithoutCrosstalkTheCharacteristicLimits) {
    const counting_inputs in{0.01, 1000, 0.01, 1000, 2, 0.05};
    const channel_crosstalk none;
    const lab_channel_result r = lab_channel(in, {}, none, k, gamma);
    const characteristic_limits closed = iso11929_limits(in, k);
    // Bit for bit what the limits showed before, so no listing changes.
    EXPECT_EQ(r.decision_threshold, closed.decision_threshold);
    EXPECT_EQ(r.detection_limit, closed.detection_limit);
    EXPECT_EQ(r.result, closed.result);
    EXPECT_NEAR(r.decision_threshold, 0.014713327291861237, 1e-12);
    // The iteration solves the same equation.
    const auto iterated = detection_limit_by_iteration(in, {}, none, k, r.decision_threshold);
    ASSERT_TRUE(iterated);
    EXPECT_NEAR(*iterated, 0.03507599588837736, 1e-12);
    EXPECT_NEAR(*iterated, *closed.detection_limit, 1e-15);
    // No result can be told from zero when k u_rel(w) >= 1: the iteration does not converge.
    const counting_inputs hopeless{0.01, 1000, 0.01, 1000, 2, 0.7};
    EXPECT_FALSE(detection_limit_by_iteration(hopeless, {}, {0.01, 0, 0, 0}, k, 0.01));
}

TEST(LabResult, NormalQuantileInvertsTheDistribution) {
    EXPECT_NEAR(normal_quantile(0.975), 1.9599639845400536, 1e-14);
    EXPECT_NEAR(normal_quantile(0.95), 1.6448536269514715, 1e-14);
    EXPECT_NEAR(normal_quantile(1e-10), -6.3613409024040575, 1e-12);
    EXPECT_NEAR(normal_cdf(normal_quantile(0.3)), 0.3, 1e-15);
    EXPECT_EQ(normal_quantile(0), -INFINITY);
}

TEST(LabResult, GammaFromTheOptionsFile) {
    test::temp_dir dir;
    EXPECT_EQ(read_read_only_options(dir.file("missing.xkv")).limits_gamma, default_limits_gamma);
    test::write_file(dir.file("opt.xkv"), "[LIMITS]\r\nk=2\r\ngamma=0.01\r\n");
    EXPECT_EQ(read_read_only_options(dir.file("opt.xkv")).limits_gamma, 0.01);
    for (const char* bad : {"0", "1", "-0.1", "x"}) {
        test::write_file(dir.file("bad.xkv"), std::string("[LIMITS]\r\ngamma=") + bad + "\r\n");
        EXPECT_EQ(read_read_only_options(dir.file("bad.xkv")).limits_gamma, default_limits_gamma) << bad;
    }
}

} // namespace
