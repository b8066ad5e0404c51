#include "settings/errors.h"
#include "settings/options.h"
#include "settings/value_text.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace xkv;

namespace {

// Every conversion must give the same answer under the "C" locale and under a comma locale.
class ValueText : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam()) {
            locale_ = std::make_unique<test::comma_locale>();
            if (!locale_->active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
        }
    }
    std::unique_ptr<test::comma_locale> locale_;
};

std::string conversion_message(auto&& f) {
    try {
        f();
    } catch (const conversion_error& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST_P(ValueText, CleanNumberKeepsDigitsAndTheFirstPoint) {
    EXPECT_EQ(clean_number("1.2.3"), "1.23");
    EXPECT_EQ(clean_number("-5"), "5");
    EXPECT_EQ(clean_number("1,5 kBq"), "1.5");
    EXPECT_EQ(clean_number(",5"), ".5");
    EXPECT_EQ(clean_number(""), "");
    EXPECT_EQ(clean_number("12,34,56"), "12.3456");
    EXPECT_EQ(clean_number("--1e5"), "15");
    EXPECT_EQ(clean_number("-1,5.2e3"), "1.523");
}

TEST_P(ValueText, ToLocalDecimalTurnsCommasIntoPoints) {
    EXPECT_EQ(to_local_decimal("1,5"), "1.5");
    EXPECT_EQ(to_local_decimal("1,000.5"), "1.000.5");
    EXPECT_EQ(to_local_decimal(""), "");
    EXPECT_EQ(to_local_decimal("abc"), "abc");
}

TEST_P(ValueText, ParseFloatAcceptsDecimalTexts) {
    EXPECT_DOUBLE_EQ(parse_float("0.01"), 0.01);
    EXPECT_DOUBLE_EQ(parse_float(" 2 "), 2.0);
    EXPECT_DOUBLE_EQ(parse_float("-1.5e3"), -1500.0);
    EXPECT_DOUBLE_EQ(parse_float("+7"), 7.0);
    EXPECT_DOUBLE_EQ(parse_float("1E-6"), 1e-6);
    EXPECT_DOUBLE_EQ(parse_float(".5"), 0.5);
    EXPECT_DOUBLE_EQ(parse_float("5."), 5.0);
    EXPECT_EQ(parse_float("1e-400"), 0.0);
}

TEST_P(ValueText, ParseFloatRefusesEverythingElse) {
    EXPECT_EQ(conversion_message([] { parse_float("1,5"); }), "'1,5' is not a valid floating point value");
    EXPECT_EQ(conversion_message([] { parse_float(""); }), "'' is not a valid floating point value");
    for (const char* bad : {"abc", "1.5x", "1e", "e5", ".", "-", "inf", "nan", "0x10", "1 2", "1e400", "\t1"})
        EXPECT_THROW(parse_float(bad), conversion_error) << bad;
}

TEST_P(ValueText, DigitsToIntUsesOnlyTheDigits) {
    EXPECT_EQ(digits_to_int("20"), 20);
    EXPECT_EQ(digits_to_int("-12"), 12);
    EXPECT_EQ(digits_to_int("1.5"), 15);
    EXPECT_EQ(digits_to_int("abc"), 0);
    EXPECT_EQ(digits_to_int(""), 0);
    EXPECT_EQ(digits_to_int("0042"), 42);
    EXPECT_EQ(digits_to_int("2147483647"), 2147483647);
    EXPECT_EQ(digits_to_int("00000000000000000007"), 7);
    EXPECT_EQ(conversion_message([] { digits_to_int("2147483648"); }), "'2147483648' is not a valid integer value");
    EXPECT_EQ(conversion_message([] { digits_to_int("x99999999999999999999"); }),
              "'99999999999999999999' is not a valid integer value");
}

TEST_P(ValueText, ModeNameLeavesUnknownCodesAlone) {
    const char* names[] = {"C1-C2", "R1-R2", "C1,C2", "R1,R2", "R1 or R2", "CAM"};
    for (int code = 1; code <= 6; ++code) {
        std::string name;
        mode_name(code, name);
        EXPECT_EQ(name, names[code - 1]);
    }
    for (int code : {0, 7, 9, -1}) {
        std::string name = "previous";
        mode_name(code, name);
        EXPECT_EQ(name, "previous");
    }
}

TEST_P(ValueText, GeneralFormat) {
    EXPECT_EQ(format_general(0), "0");
    EXPECT_EQ(format_general(-0.0), "0");
    EXPECT_EQ(format_general(40), "40");
    EXPECT_EQ(format_general(-2.5), "-2.5");
    EXPECT_EQ(format_general(0.1), "0.1");
    EXPECT_EQ(format_general(0.00001), "0.00001");
    EXPECT_EQ(format_general(0.000001), "1E-6");
    EXPECT_EQ(format_general(1.5e-7), "1.5E-7");
    EXPECT_EQ(format_general(1e20), "1E20");
    EXPECT_EQ(format_general(123456789012345.0), "123456789012345");
    EXPECT_EQ(format_general(1e15), "1E15");
    EXPECT_EQ(format_general(999999999999999.9), "1E15");
    EXPECT_EQ(format_general(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(format_general(2.0 / 3.0), "0.666666666666667");
    EXPECT_EQ(format_general(0.1 + 0.2), "0.3");
    EXPECT_EQ(format_general(1.098727500000001), "1.0987275");
    EXPECT_EQ(format_general(100), "100");
    EXPECT_EQ(format_general(std::numeric_limits<double>::infinity()), "INF");
}

TEST_P(ValueText, GeneralFormatReadsBack) {
    for (double v : {0.119164, 1e-6, 12345.678, -0.00001, 3.14159265358979})
        EXPECT_DOUBLE_EQ(parse_float(format_general(v)), v);
}

INSTANTIATE_TEST_SUITE_P(Locales, ValueText, ::testing::Values(false, true),
                         [](const auto& locale) { return locale.param ? "CommaLocale" : "CLocale"; });
