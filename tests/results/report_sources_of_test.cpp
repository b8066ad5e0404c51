#include "results/report_sources_of.h"

#include <gtest/gtest.h>

namespace xkv {
namespace {

TEST(ReportSourcesOf, TakesTemplateCounterCreatorAndSetupFromTheirOwnPlaces) {
    _program_options options;
    _options profile;
    profile.creator = "J. Operator";
    cur_measurment setup;
    setup.sample_id = "S-17";
    setup.description = "wipe test";

    struct case_ {
        std::string stored_template;
        std::string expected_template;
    };
    const case_ cases[] = {
        {"templates/report.tpl", "/opt/xkv/templates/report.tpl"},  // relative: under the program dir
        {"/srv/shared/report.tpl", "/srv/shared/report.tpl"},       // absolute: as it stands
        {"templates\\report.tpl", "/opt/xkv/templates/report.tpl"}, // a stored "\" reads as "/"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored_template);
        options.name = c.stored_template;
        const report_sources s = report_sources_of("/opt/xkv", options, profile, setup, 2.326);
        EXPECT_EQ(s.template_path, c.expected_template);
        EXPECT_EQ(s.counter_path, "/opt/xkv/ini/default.xkv");
        EXPECT_EQ(s.creator, "J. Operator");
        EXPECT_EQ(s.setup.sample_id, "S-17");
        EXPECT_EQ(s.setup.description, "wipe test");
        EXPECT_EQ(s.limits_k, 2.326);
    }
}

} // namespace
} // namespace xkv
