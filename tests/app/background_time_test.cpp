#include "app/background_time.h"

#include "settings/errors.h"

#include <gtest/gtest.h>

namespace xkv {
namespace {

TEST(BackgroundTime, ZeroOrBelowBecomesOneAndPositiveTextStaysAsTyped) {
    const std::pair<std::string, std::string> cases[] = {
        {"0", "1"}, {"-3", "1"}, {"0.0", "1"}, {"-0.5e1", "1"}, {"5", "5"}, {" 2.5 ", " 2.5 "}, {"1e-9", "1e-9"},
    };
    for (const auto& [typed, kept] : cases) EXPECT_EQ(checked_background_time(typed), kept) << typed;
}

TEST(BackgroundTime, TextThatIsNoNumberThrows) {
    EXPECT_THROW(checked_background_time("abc"), conversion_error);
    EXPECT_THROW(checked_background_time(""), conversion_error);
}

} // namespace
} // namespace xkv
