#include "measurement/compute_results.h"
#include "measurement/float_error.h"
#include "settings/errors.h"
#include "settings/value_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace xkv;

namespace {

// The worked example: K = 1, Q = 1, Ba = 0.5, Ea = 0.25, ua = 0.05, tb = 1000, correction on.
cur_measurment worked_setup() {
    cur_measurment s;
    s.profile.mode = mode_c1_c2;
    s.profile.background = {"0.5", "0.5", "1000"};
    s.calibration.alpha = "0.25";
    s.calibration.beta = "0.25";
    s.calibration.act_alpha = "0.05";
    s.calibration.act_beta = "0.05";
    s.calibration.background_correction = true;
    s.koef_k = 1;
    s.quantity = 1;
    s.units = "Bq/g";
    return s;
}

_r_results row_with_time(const char* time) {
    _r_results r;
    r.sample_id = "S1";
    r.time = time;
    return r;
}

std::string six_places(const std::string& text) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", parse_float(text));
    return buf;
}

} // namespace

TEST(ComputeResults, WorkedExampleToItsPrintedDigits) {
    _r_results r = row_with_time("100");
    compute_results(r, worked_setup(), "10.5", "10.5");
    EXPECT_EQ(r.activity_l, "40");
    EXPECT_EQ(six_places(r.u_activity_l), "0.119164");
    EXPECT_EQ(six_places(r.MDA_a), "1.098728");
    EXPECT_EQ(r.text_act_a, "40");
    EXPECT_EQ(r.activity_b, "40");
    EXPECT_EQ(r.MDA_b, r.MDA_a);
    EXPECT_EQ(r.koef_k, "1");
    EXPECT_EQ(r.quantity, "1");
    EXPECT_EQ(r.units, "Bq/g");
    EXPECT_EQ(r.background, (_background{"0.5", "0.5", "1000"}));
    // General format: at most 15 significant digits.
    EXPECT_LE(r.u_activity_l.size(), 17u) << r.u_activity_l;
}

TEST(ComputeResults, FactorAndQuantityScaleActivityAndMda) {
    cur_measurment s = worked_setup();
    s.koef_k = 2;
    s.quantity = 4;
    _r_results r = row_with_time("100");
    compute_results(r, s, "10.5", "0.5");
    EXPECT_EQ(r.activity_l, "20");
    EXPECT_EQ(r.activity_b, "0");
    EXPECT_EQ(six_places(r.MDA_a), "0.549364");
    EXPECT_EQ(r.koef_k, "2");
    EXPECT_EQ(r.quantity, "4");
}

TEST(ComputeResults, UncertaintyClamps) {
    struct row {
        const char* value; // both channels
        const char* background;
        const char* efficiency_uncertainty;
        const char* uncertainty;
    };
    const row rows[] = {
        {"0.5", "0.5", "0.05", "0.999"}, // net 0 above 0: D = 0.00001, U huge
        {"0", "0", "0.3", "0.6"},        // both 0: U = 2 x u
        {"0", "0", "0.6", "0.999"},      // 2 x u above 1
        {"0", "0", "0.5", "1"},          // exactly 1 stays
    };
    for (const auto& r : rows) {
        cur_measurment s = worked_setup();
        s.profile.background = {r.background, r.background, "1000"};
        s.calibration.act_alpha = s.calibration.act_beta = r.efficiency_uncertainty;
        _r_results out = row_with_time("100");
        compute_results(out, s, r.value, r.value);
        EXPECT_EQ(out.u_activity_l, r.uncertainty) << r.value << " " << r.efficiency_uncertainty;
        EXPECT_EQ(out.u_activity_b, r.uncertainty);
    }
}

TEST(ComputeResults, ZeroCountingTimesCountAsOneSecond) {
    cur_measurment s = worked_setup();
    _r_results zero = row_with_time("0");
    _r_results one = row_with_time("1");
    compute_results(zero, s, "10.5", "3");
    compute_results(one, s, "10.5", "3");
    EXPECT_EQ(zero.u_activity_l, one.u_activity_l);
    EXPECT_EQ(zero.MDA_b, one.MDA_b);

    s.profile.background.time = "0";
    _r_results no_bg_time = row_with_time("1");
    compute_results(no_bg_time, s, "10.5", "3");
    // L = k^2 (1/1 + 1/1), S = sqrt(0.5 + 0.5) x 2k, F = 4
    EXPECT_EQ(six_places(no_bg_time.MDA_a), six_places(number_text((2 * 2.7225 + 3.3) * 4)));
}

TEST(ComputeResults, BackgroundCorrectionOffUsesRawValuesAndKeepsTheBackgroundTexts) {
    cur_measurment s = worked_setup();
    s.calibration.background_correction = false;
    s.profile.background = {"0.5", "0.7", "1000"};
    _r_results r = row_with_time("100");
    compute_results(r, s, "10.5", "2");
    EXPECT_EQ(r.activity_l, "42");
    EXPECT_EQ(r.activity_b, "8");
    const double mda = 2.7225 * (1.0 / 100 + 1.0 / 1000) / 0.25;
    EXPECT_EQ(six_places(r.MDA_a), six_places(number_text(mda)));
    EXPECT_EQ(r.background, (_background{"0.5", "0.7", "1000"}));

    s.profile.background.beta = "n/a"; // converted before the correction test
    EXPECT_THROW(compute_results(r, s, "10.5", "2"), conversion_error);
}

TEST(ComputeResults, BelowMdaTexts) {
    cur_measurment s = worked_setup();
    s.calibration.background_correction = false;
    s.profile.background = {"0", "0", "1"};
    s.calibration.alpha = s.calibration.beta = "1";
    // t = tb = 1: MDA = 2.7225 x 2 = 5.445 for both channels.
    _r_results r = row_with_time("1");
    compute_results(r, s, "2", "12");
    EXPECT_EQ(r.text_act_a, "activity_alpha < MDA_alpha");
    EXPECT_EQ(r.text_act_b, "12");

    s.calibration.background_correction = true;
    s.profile.background = {"3", "3", "1"};
    compute_results(r, s, "1", "1"); // below the background: a negative activity
    EXPECT_EQ(r.activity_l, "-2");
    EXPECT_EQ(r.text_act_a, "activity_alpha < MDA_alpha");
    EXPECT_EQ(r.text_act_b, "activity_beta < MDA_beta");
}

TEST(ComputeResults, EmptyValueCountsAsZeroOnlyInOneLineModes) {
    for (std::int32_t mode : {mode_c1_minus_c2, mode_r1_minus_r2, mode_r1_or_r2}) {
        cur_measurment s = worked_setup();
        s.profile.mode = mode;
        _r_results r = row_with_time("100");
        compute_results(r, s, "10.5", "");
        EXPECT_EQ(r.activity_l, "40") << mode;
        EXPECT_EQ(r.activity_b, "-2") << mode; // (0 - 0.5) / 0.25
        EXPECT_THROW(compute_results(r, s, "10.5", "abc"), conversion_error) << mode;
    }
    for (std::int32_t mode :
         {std::int32_t{mode_c1_c2}, std::int32_t{mode_r1_r2}, std::int32_t{mode_cam}, std::int32_t{9}}) {
        cur_measurment s = worked_setup();
        s.profile.mode = mode;
        _r_results r = row_with_time("100");
        EXPECT_THROW(compute_results(r, s, "10.5", ""), conversion_error) << mode;
    }
}

TEST(ComputeResults, FailuresStoreNothingAndNeverInfOrNan) {
    struct row {
        const char* name;
        void (*change)(cur_measurment&);
        const char* alpha;
        bool conversion; // else a floating-point error
    };
    const row rows[] = {
        {"zero efficiency", [](cur_measurment& s) { s.calibration.beta = "0"; }, "10.5", false},
        {"zero quantity", [](cur_measurment& s) { s.quantity = 0; }, "10.5", false},
        {"negative under the uncertainty root", [](cur_measurment&) {}, "-0.4", false},
        {"negative background under the MDA root", [](cur_measurment& s) { s.profile.background.alpha = "-1"; }, "10.5",
         false},
        {"overflow", [](cur_measurment& s) { s.calibration.alpha = "1e-320"; }, "1e300", false},
        {"channel value not a number", [](cur_measurment&) {}, "12a", true},
        {"efficiency not a number", [](cur_measurment& s) { s.calibration.act_beta = ""; }, "10.5", true},
    };
    for (const auto& r : rows) {
        cur_measurment s = worked_setup();
        r.change(s);
        _r_results out = row_with_time("100");
        const _r_results before = out;
        try {
            compute_results(out, s, r.alpha, "10.5");
            ADD_FAILURE() << r.name << ": computed " << out.activity_l << " " << out.u_activity_l << " " << out.MDA_a;
        } catch (const float_error& e) {
            EXPECT_FALSE(r.conversion) << r.name << ": " << e.what();
        } catch (const conversion_error& e) {
            EXPECT_TRUE(r.conversion) << r.name << ": " << e.what();
        }
        EXPECT_EQ(out, before) << r.name;
    }
}

TEST(ComputeResults, NumberTextsUseThePointUnderACommaLocale) {
    test::comma_locale comma;
    _r_results r = row_with_time("100");
    compute_results(r, worked_setup(), "10.75", "10.5");
    EXPECT_EQ(r.activity_l, "41");
    EXPECT_NE(r.u_activity_l.find('.'), std::string::npos);
    EXPECT_EQ(r.u_activity_l.find(','), std::string::npos);
    EXPECT_EQ(number_text(0.5), "0.5");
    EXPECT_EQ(number_text(1e-6), "1E-6");
}
