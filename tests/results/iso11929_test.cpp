#include "results/iso11929.h"
#include "results/row_limits.h"
#include "results/t_report.h"
#include "results/viewer_query.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace xkv;

namespace {

TEST(Iso11929, CheckValueAndTheIteratedDetectionLimit) {
    const counting_inputs in{0.01, 1000, 0.01, 1000, 2, 0.05};
    const characteristic_limits l = iso11929_limits(in, 1.645);
    EXPECT_NEAR(l.decision_threshold, 0.0147133, 5e-8);
    ASSERT_TRUE(l.detection_limit);
    EXPECT_NEAR(*l.detection_limit, 0.0350760, 5e-8);
    // y# = y* + k u~(y#), with u~ the uncertainty of a true result y# over the same background.
    const double y = *l.detection_limit;
    const double rg = y / 2 + 0.01;
    const double u = std::sqrt(4 * (rg / 1000 + 0.01 / 1000) + y * y * 0.0025);
    EXPECT_NEAR(y, l.decision_threshold + 1.645 * u, 1e-12);
    // A factor uncertainty so large that no result can be told from zero: no detection limit.
    EXPECT_FALSE(iso11929_limits({0.01, 1000, 0.01, 1000, 2, 0.7}, 1.645).detection_limit);
}

TEST(Iso11929, OneRowOfEachModeFromItsStoredColumns) {
    struct mode_case {
        const char* mode;
        const char* p1;
        double gross_rate; // what the row means: counts over the time in counter modes
    };
    const mode_case cases[] = {{"C1-C2", "1500", 15}, {"R1-R2", "15", 15},    {"C1,C2", "1500", 15},
                               {"R1,R2", "15", 15},   {"R1 or R2", "15", 15}, {"CAM", "15", 15}};
    for (const auto& c : cases) {
        std::vector<std::string> row(viewer_column_count);
        const auto set = [&row](const char* column, const char* text) { row[viewer_column(column)] = text; };
        set("mode", c.mode);
        set("p1", c.p1);
        set("p2", "x"); // no number: no beta limits
        set("time", "100");
        set("cal_l", "0.25");
        set("cal_l_act", "0.05");
        set("bck_l", "0.5");
        set("bck_time", "1000");
        set("quantity", "2");
        set("koef_k", "3");
        set("bgn_corr", "1");
        std::vector<std::string_view> cells(row.begin(), row.end());
        const auto limits = limits_cells(channels_of_listing_row(cells), 1.645);
        // Written out by hand: w = K / (Q E) = 6, r_0 = 0.5 over 1000 s, t_g = 100 s.
        const double w = 6, k = 1.645;
        const double dt = k * w * std::sqrt(0.5 / 100 + 0.5 / 1000);
        const double dl = (2 * dt + k * k * w / 100) / (1 - k * k * 0.0025);
        EXPECT_NEAR(std::stod(limits[0]), dt, 1e-12) << c.mode;
        EXPECT_NEAR(std::stod(limits[1]), dl, 1e-12) << c.mode;
        EXPECT_EQ(limits[2], w * (c.gross_rate - 0.5) > dt ? "" : "not detected") << c.mode;
        EXPECT_EQ(limits[3] + limits[4] + limits[5], "") << c.mode;
    }
}

TEST(Iso11929, NotDetectedWithoutBackgroundCorrection) {
    _r_results row;
    row.mode = "R1,R2";
    row.p1 = "0.001";
    row.p2 = "50";
    row.time = "0"; // taken as 1 s, as the activity computation takes it
    row.quantity = "1";
    row.koef_k = "1";
    row.background = {"5", "5", "100"};
    row.calibration.background_correction = false; // r_0 = 0: the threshold is 0
    const auto cells = limits_cells(channels_of_row(row), 1.645);
    EXPECT_EQ(cells[0], "0");
    EXPECT_EQ(cells[2], ""); // 0.001 / 1 is above 0
    EXPECT_EQ(cells[3], "0");
}

TEST(Iso11929, ReportTagsGiveTheLimitsBesideThePartsTags) {
    test::temp_dir dir;
    test::write_file(
        dir.file("t.tpl"),
        "k={LIMITS_K}\n{TABLE}\n{D.ACT_A} {D.DT_A} {D.DL_A} [{D.ND_A}] {D.DT_B} [{D.ND_B}] {}{}\n{END_TABLE}\n");
    t_report report(dir.file("t.tpl"));
    ASSERT_EQ(report.error_text, "");
    _r_results row;
    row.mode = "C1,C2";
    row.activity_l = "act";
    row.p1 = "1000";
    row.p2 = "3";
    row.time = "1000";
    row.quantity = "1";
    row.koef_k = "2";
    row.calibration.alpha = "1";
    row.calibration.beta = "1";
    row.calibration.act_alpha = "0.05";
    row.calibration.act_beta = "0.05";
    row.calibration.background_correction = true;
    row.background = {"0.01", "0.01", "1000"};
    report.rows = {row};
    report.generate();
    ASSERT_EQ(report.out_lines.size(), 2u);
    EXPECT_EQ(report.out_lines[0], "k=1.645");
    EXPECT_EQ(report.out_lines[1], "act 0.0147133272919486 0.0350759958883315 [] 0.0147133272919486 [not detected] ");
}

} // namespace
