#include "app/dialog_filter.h"

#include <gtest/gtest.h>

namespace xkv {
namespace {

TEST(DialogFilter, CaptionAndPatternsBecomeTheDialogsOwnForm) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"xkv 4410 data base file", "xkv 4410 data base file (*)"},  // no patterns: every file
        {"excel file|*.xls", "excel file (*.xls)"},
        {"templates|*.tpl;*.txt;*.htm", "templates (*.tpl *.txt *.htm)"},
        {"empty patterns|", "empty patterns ()"},
    };
    for (const auto& [filter, shown] : cases) EXPECT_EQ(dialog_name_filter(filter), shown) << filter;
}

} // namespace
} // namespace xkv
