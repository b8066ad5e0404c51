#include "link/t_xkv.h"

#include <gtest/gtest.h>

#include <vector>

namespace xkv {
namespace {

struct split_case {
    std::string text;
    int count;
    std::vector<std::string> slots; // slots 0..count; every higher slot must be empty
};

TEST(SplitLines, CompleteLinesTrimmedAndRemainderKeptAsItIs) {
    const split_case cases[] = {
        {"", 0, {""}},
        {"abc", 0, {"abc"}},
        {"12\r\n", 1, {"12", ""}},
        {"a\rb\n", 1, {"a\rb", ""}},       // only LF ends a line; the inner CR stays
        {"\r a b \t\r\n", 1, {"a b", ""}}, // trimming takes control bytes and spaces
        {"A\r\nB\r\nC\r\n", 3, {"A", "B", "C", ""}},
        {"x\n\ny", 2, {"x", "", "y"}},             // an empty line counts
        {"one\r\n two \r", 1, {"one", " two \r"}}, // the remainder is not trimmed
        {"\r\r\n", 1, {"", ""}},
        {std::string("\x01z\x80\r\n", 5), 1, {"z\x80", ""}}, // bytes above 127 are not blanks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        const t_My_line_res r = split_lines(c.text);
        EXPECT_EQ(r.count, c.count);
        for (std::size_t i = 0; i < r.lines.size(); ++i)
            EXPECT_EQ(r.lines[i], i < c.slots.size() ? c.slots[i] : "") << "slot " << i;
    }
}

TEST(SplitLines, LinesPastTheCapacityAreDroppedNotWrittenPast) {
    std::string text;
    for (int i = 0; i < 70; ++i) text += "line" + std::to_string(i) + "\r\n";
    text += "tail";
    const t_My_line_res r = split_lines(text);
    EXPECT_EQ(r.count, 50);
    EXPECT_EQ(r.lines[0], "line0");
    EXPECT_EQ(r.lines[49], "line49");
    EXPECT_EQ(r.lines[50], "tail");
}

} // namespace
} // namespace xkv
