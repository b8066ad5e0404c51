#include "settings/cp1252.h"

#include <gtest/gtest.h>

using namespace xkv;

TEST(Cp1252, ValidUtf8IsUtf8AndAnythingElseIsWindows1252) {
    struct pair {
        const char* name;
        std::string utf8, cp1252;
    };
    const pair both_ways[] = {
        {"micro sign", "\xc2\xb5Sv/h", "\xb5Sv/h"},
        {"umlaut", "M\xc3\xbcller", "M\xfcller"},
        {"the 0x80 block", "\xe2\x82\xac \xe2\x80\x93 \xe2\x84\xa2", "\x80 \x96 \x99"},
        {"a byte the code page leaves undefined", "\xc2\x81", "\x81"},
        {"ASCII", "plain", "plain"},
    };
    for (const auto& p : both_ways) {
        SCOPED_TRACE(p.name);
        EXPECT_EQ(utf8_to_cp1252(p.utf8), p.cp1252);
        EXPECT_EQ(cp1252_to_utf8(p.cp1252), p.utf8);
        EXPECT_EQ(utf8_to_cp1252(p.cp1252), p.cp1252) << "Windows-1252 already passes unchanged";
        EXPECT_EQ(cp1252_to_utf8(p.utf8), p.utf8) << "UTF-8 already passes unchanged";
    }
    EXPECT_EQ(utf8_to_cp1252("\xe6\x97\xa5 \xf0\x9f\x98\x80"), "? ?") << "characters the code page lacks";
    EXPECT_FALSE(is_valid_utf8("\xc0\xaf")) << "overlong";
    EXPECT_FALSE(is_valid_utf8("\xed\xa0\x80")) << "surrogate";
    EXPECT_FALSE(is_valid_utf8("\xe2\x82")) << "cut short";
}
