#include "settings/cp1252.h"

#include <gtest/gtest.h>

using namespace xkv;

// Each case: bytes, whether they are UTF-8, and the text in the other encoding.
TEST(Cp1252, DecidesAndConvertsBothWays) {
    const struct {
        std::string bytes;
        bool utf8;
        std::string other;
    } cases[] = {
        {"M\xFCller \xB5Sv/h \x80\x96", false, "M\xC3\xBCller \xC2\xB5Sv/h \xE2\x82\xAC\xE2\x80\x93"},
        {"\x81\x8D\x8F\x90\x9D", false, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned bytes
        {"plain", true, "plain"},
        {"\xC3\xBC \xCE\xB1 \xF0\x9F\x98\x80", true, "\xFC ? ?"},  // alpha and emoji are not in the page
        {"\xC0\xAF", false, "\xC3\x80\xC2\xAF"},                     // overlong "/"
        {"\xED\xA0\x80", false, "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},     // surrogate
        {"\xF4\x90\x80\x80", false, "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // past U+10FFFF
        {"\xE2\x82", false, "\xC3\xA2\xE2\x80\x9A"},                 // cut short
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(is_valid_utf8(c.bytes), c.utf8);
        if (c.utf8) {
            EXPECT_EQ(utf8_to_cp1252(c.bytes), c.other);
        } else {
            EXPECT_EQ(cp1252_to_utf8(c.bytes), c.other);
            EXPECT_EQ(utf8_to_cp1252(c.other), c.bytes);  // the way back gives the same bytes
            EXPECT_EQ(utf8_to_cp1252(c.bytes), c.bytes);  // already Windows-1252
        }
    }
}
