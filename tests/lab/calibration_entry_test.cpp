// The calibration window's entry: the crosstalk check from entered counts, and each bad field named.

#include "lab/calibration_entry.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace xkv;

namespace {

calibration_entry crosstalk_entry() {
    calibration_entry e;
    e.set_name = "Soil";
    e.kind = calibration_kind::alpha_to_beta;
    e.counts = "20000,1000";
    e.time = "200";
    return e;
}

_options background(const char* alpha, const char* beta) {
    _options p;
    p.background = {alpha, beta, "1000"};
    return p;
}

} // namespace

TEST(CalibrationEntry, CrosstalkFromEnteredCountsMeetsTheCheck) {
    _calibration set;
    set.background_correction = true;
    const calibration_record r = calibration_of_entry(crosstalk_entry(), background("0.05", "1.0"), set);
    // Independently: n_a = 20000/200 - 0.05, n_b = 1000/200 - 1.0, u^2(n) = N/t^2 + r0/t0.
    const double na = 99.95, nb = 4.0;
    const double chi = nb / na;
    const double u = chi * std::sqrt((20000 / 4e4 + 0.05 / 1000) / (na * na) + (1000 / 4e4 + 1.0 / 1000) / (nb * nb));
    EXPECT_NEAR(chi, 0.040020010005, 1e-12);
    EXPECT_NEAR(u, 0.00163791641042, 1e-13);
    EXPECT_NEAR(std::stod(r.value), chi, 1e-14);
    EXPECT_NEAR(std::stod(r.u), u, 1e-15);
    EXPECT_EQ(r.kind, calibration_kind::alpha_to_beta);
}

TEST(CalibrationEntry, BadFieldsAreNamed) {
    _calibration set;
    const auto error_of = [&set](calibration_entry e) {
        try {
            calibration_of_entry(e, background("0", "0"), set);
        } catch (const calibration_error& x) {
            return std::string(x.what());
        }
        return std::string("no error");
    };
    calibration_entry one = crosstalk_entry();
    one.counts = "20000";
    EXPECT_EQ(error_of(one), "the counts of a crosstalk are N_alpha,N_beta");
    calibration_entry time = crosstalk_entry();
    time.time = "2OO";
    EXPECT_EQ(error_of(time), "the counting time '2OO' is no number");
    calibration_entry efficiency = crosstalk_entry();
    efficiency.kind = calibration_kind::beta_efficiency;
    efficiency.counts = "300";
    efficiency.activity = "100";
    efficiency.u_activity = "";
    EXPECT_EQ(error_of(efficiency), "the uncertainty of the activity '' is no number");
}

// A run's counts go into the counts field as the operator would type them, and read back the same.
TEST(CalibrationEntry, CountedStandardFillsTheCountsFieldAsTyped) {
    standard_counts counted;
    counted.counts = {12345, 678};
    EXPECT_EQ(entered_counts_text(counted, calibration_kind::alpha_efficiency), "12345");
    EXPECT_EQ(entered_counts_text(counted, calibration_kind::beta_efficiency), "678");
    EXPECT_EQ(entered_counts_text(counted, calibration_kind::beta_to_alpha), "12345,678");
    const auto back = entered_count_values(entered_counts_text(counted, calibration_kind::alpha_to_beta), true);
    EXPECT_EQ(back[0], 12345);
    EXPECT_EQ(back[1], 678);
}
