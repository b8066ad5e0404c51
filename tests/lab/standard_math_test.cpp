#include "lab/standard_math.h"

#include <gtest/gtest.h>

using namespace xkv;

namespace {

// Check values computed apart from the program (python3, math module).
TEST(StandardMath, EfficiencyOfADecayedStandard) {
    const auto reference = civil_day("2020-01-01");
    const auto measured = civil_day("2026-12-08");
    ASSERT_TRUE(reference && measured);
    EXPECT_EQ(*measured - *reference, 2533);
    const efficiency_value e = efficiency_of(net_rate_of(3000, 100, 0.1, 1000), 100, 2, 2533, 432.6);
    EXPECT_NEAR(e.activity, 98.8949720791694, 1e-10);
    EXPECT_NEAR(e.value, 0.3023409519349866, 1e-13);
    EXPECT_NEAR(e.u_rel, 0.027123395285768626, 1e-13);
}

TEST(StandardMath, CrosstalkOfAPureAlphaSource) {
    const factor_value chi = crosstalk_of(net_rate_of(1000, 200, 1.0, 1000), net_rate_of(20000, 200, 0.05, 1000));
    EXPECT_NEAR(chi.value, 0.0400200100050025, 1e-15);
    EXPECT_NEAR(chi.u, 0.0016379164104193499, 1e-15);
}

TEST(StandardMath, DatesThatAreNoDates) {
    EXPECT_EQ(civil_day("1970-01-01"), 0);
    EXPECT_EQ(civil_day("2024-02-29").value() - civil_day("2024-02-28").value(), 1);
    for (const char* bad : {"2023-02-29", "2020-13-01", "2020-1-01", "20200101", "", "2020-01-0x"})
        EXPECT_FALSE(civil_day(bad)) << bad;
}

} // namespace
