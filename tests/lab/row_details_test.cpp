// A row's details: the channels' lab cells side by side, and the calibrations named, or the row
// said to have none.

#include "lab/row_details.h"
#include "lab/row_lab.h"

#include <gtest/gtest.h>

using namespace xkv;

TEST(RowDetails, ChannelsSideBySideAndTheCalibrationsNamed) {
    std::vector<std::string> lab(lab_column_count);
    for (std::size_t i = 0; i < 2 * lab_channel_column_count; ++i) lab[i] = std::to_string(i);
    lab.back() = "QC NOT CURRENT";

    calibration_record r;
    r.set_name = "Soil";
    r.kind = calibration_kind::beta_efficiency;
    r.version = "3";
    r.value = "0.4";
    r.u = "0.02";
    r.nuclide = "Sr-90";
    r.measured_at = "2026-12-08 10:00:00";
    r.user_name = "ann";
    const row_details d = lab_row_details(lab, {r});
    ASSERT_EQ(d.names.size(), lab_channel_column_count);
    EXPECT_EQ(d.values[0], (std::vector<std::string>{"0", "9"}));  // y of alpha and beta
    EXPECT_EQ(d.values[8], (std::vector<std::string>{"8", "17"})); // detected
    EXPECT_EQ(d.notes, (std::vector<std::string>{
                           "Calibrations used:",
                           "  beta efficiency v3 of Soil: 0.4 (u 0.02), Sr-90, measured 2026-12-08 10:00:00 by ann",
                           "QC: QC NOT CURRENT"}));

    lab.back().clear();
    EXPECT_EQ(
        lab_row_details(lab, {}).notes,
        std::vector<std::string>{"Saved without records of its calibrations: it uses the set's keys as they are now."});
}
