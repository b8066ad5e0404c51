#include "app/dialog_filter.h"

#include <gtest/gtest.h>

namespace xkv {
namespace {

TEST(DialogFilter, CaptionAndPatternsBecomeTheDialogsOwnForm) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"xkv 4410 data base file", "xkv 4410 data base file (*)"}, // no patterns: every file
        {"excel file|*.xls", "excel file (*.xls)"},
        {"templates|*.tpl;*.txt;*.htm", "templates (*.tpl *.txt *.htm)"},
        {"empty patterns|", "empty patterns ()"},
        {"excel file|*.xls|CSV file|*.csv", "excel file (*.xls);;CSV file (*.csv)"}, // several types
    };
    for (const auto& [filter, shown] : cases) EXPECT_EQ(dialog_name_filter(filter), shown) << filter;
    EXPECT_EQ(filter_extension("CSV file (*.csv)"), "csv");
    EXPECT_EQ(filter_extension("any (*)"), "");
}

} // namespace
} // namespace xkv
