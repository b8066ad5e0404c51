#include "measurement/float_error.h"
#include "measurement/parameter_sets.h"
#include "settings/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace xkv;
using test::read_file;
using test::write_file;

namespace {

struct ParameterSets : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("calibrations.cfg");
};

_calibration every_field_changed() {
    _calibration c;
    c.alpha = "0.25";
    c.beta = "0.4";
    c.act_alpha = "0.05";
    c.act_beta = "0.06";
    c.caption = "Soil, dried";
    c.name = "Soil";
    c.factor_b = "2.5";
    c.factor_c = "0.5";
    c.factor_d = "";
    c.factor_e = "x";
    c.B_X = false;
    c.C_X = false;
    c.D_X = true;
    c.E_X = false;
    c.units = "Bq/g";
    c.preset_time = "600";
    c.background_correction = true;
    c.chk_eff_A = true;
    c.chk_eff_B = false;
    return c;
}

} // namespace

TEST_F(ParameterSets, AbsentFileOrSectionGivesTheDefaultsNamedAfterTheSection) {
    EXPECT_TRUE(parameter_set_names(path).empty());
    _calibration expected;
    expected.name = "Water";
    EXPECT_EQ(load_parameter_set(path, "Water"), expected);
    EXPECT_EQ(expected.preset_time, "100");
    EXPECT_TRUE(expected.B_X && expected.C_X && expected.D_X && expected.E_X);

    write_file(path, "; no sections yet\r\n");
    EXPECT_TRUE(parameter_set_names(path).empty());
}

TEST_F(ParameterSets, SavedInTheKeyOrderAndReadBackWhole) {
    const _calibration c = every_field_changed();
    save_parameter_set(path, "Soil", c);
    EXPECT_EQ(read_file(path),
              "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.06\r\ncaption=Soil, dried\r\n"
              "name=Soil\r\nB=2.5\r\nC=0.5\r\nD=\r\nE=x\r\nB_X=0\r\nC_X=0\r\nD_X=1\r\nE_X=0\r\nbkgnd_corr=1\r\n"
              "units=Bq/g\r\npreset_time=600\r\nchk_eff_A=1\r\nchk_eff_B=0\r\n");
    EXPECT_EQ(load_parameter_set(path, "soil"), c); // sections match without regard to case
}

TEST_F(ParameterSets, NameRepeatsTheSectionItIsSavedUnder) {
    _calibration c = every_field_changed();
    c.name = "Something else";
    save_parameter_set(path, "Soil", c);
    EXPECT_EQ(load_parameter_set(path, "Soil").name, "Soil");
}

TEST_F(ParameterSets, MissingKeysAndBadFlagsTakeTheirDefaults) {
    write_file(path, "[Old]\r\nalpha=0.3\r\nB_X=0\r\nC_X=yes\r\nbkgnd_corr=2\r\nchk_eff_B=0x1\r\n");
    const _calibration c = load_parameter_set(path, "Old");
    EXPECT_EQ(c.alpha, "0.3");
    EXPECT_EQ(c.beta, "1");
    EXPECT_EQ(c.name, "Old");
    EXPECT_FALSE(c.B_X);
    EXPECT_TRUE(c.C_X); // not an integer: the default
    EXPECT_TRUE(c.background_correction);
    EXPECT_TRUE(c.chk_eff_B);
    EXPECT_EQ(c.preset_time, "100");
}

TEST_F(ParameterSets, SavingUnderAnExistingNameReplacesItAndKeepsTheOthersInFileOrder) {
    write_file(path, "[Zeta]\r\nalpha=0.1\r\n; lab note\r\n[Alpha]\r\nalpha=0.2\r\n");
    _calibration c;
    c.alpha = "0.9";
    save_parameter_set(path, "Zeta", c);
    save_parameter_set(path, "Mid", c);
    EXPECT_EQ(parameter_set_names(path), (std::vector<std::string>{"Zeta", "Alpha", "Mid"}));
    EXPECT_EQ(load_parameter_set(path, "Zeta").alpha, "0.9");
    EXPECT_EQ(load_parameter_set(path, "Alpha").alpha, "0.2");
    EXPECT_NE(read_file(path).find("; lab note"), std::string::npos);
}

TEST_F(ParameterSets, WriteFailureNamesTheFile) {
    const std::string missing = dir.file("ini/calibrations.cfg");
    try {
        save_parameter_set(missing, "Soil", _calibration{});
        FAIL() << "saved into a missing folder";
    } catch (const write_error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + missing);
    }
}

TEST(SetFactorK, ProductOfTheFactorsEachAsXOrOneOverX) {
    struct row {
        const char *c, *d, *e;
        bool cx, dx, ex;
        double k;
        const char* label;
    };
    const row rows[] = {
        {"2", "3", "4", false, false, false, 24, "K = 24"},
        {"2", "0.1", "2", true, true, true, 2.5, "K = 2.5"},
        {"1", "0.1", "2", false, false, true, 0.05, "K = 0.05"},
        {"0", "5", "5", false, true, true, 0, "K = 0"},
        {"1e-3", "1", "1", false, false, false, 0.001, "K = 0.001"},
    };
    for (const auto& r : rows) {
        _calibration c;
        c.factor_c = r.c;
        c.factor_d = r.d;
        c.factor_e = r.e;
        c.C_X = r.cx;
        c.D_X = r.dx;
        c.E_X = r.ex;
        c.factor_b = "not part of K";
        const double k = set_factor_k(c);
        EXPECT_DOUBLE_EQ(k, r.k) << r.c << " " << r.d << " " << r.e;
        EXPECT_EQ(k_label(k), r.label);
    }
}

TEST(SetFactorK, FailsOnFactorsThatAreNotNumbersAndOnZeroAsOneOverX) {
    _calibration c; // C, D and E empty by default
    EXPECT_THROW(set_factor_k(c), conversion_error);
    c.factor_c = "1";
    c.factor_d = "abc";
    c.factor_e = "1";
    EXPECT_THROW(set_factor_k(c), conversion_error);
    c.factor_d = "0";
    c.D_X = true;
    try {
        set_factor_k(c);
        FAIL() << "zero used as 1/X";
    } catch (const float_error& e) {
        EXPECT_NE(std::string(e.what()).find("factor D"), std::string::npos) << e.what();
    }
    c.factor_d = "1e-300";
    c.factor_c = "1e-300";
    c.C_X = true;
    EXPECT_THROW(set_factor_k(c), float_error); // 1e600 is no number to store
}
