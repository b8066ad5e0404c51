#include "measurement/float_error.h"
#include "measurement/measurement_setup.h"
#include "settings/errors.h"
#include "settings/read_only_options.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace xkv;
using test::write_file;

namespace {

struct MeasurementSetup : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("calibrations.cfg");
    measurement_setup setup{path};

    MeasurementSetup() {
        write_file(path, "[Smear]\r\nalpha=0.25\r\nact_alpha=0.05\r\nbeta=0.4\r\nact_beta=0.06\r\ncaption=Wipe test\r\n"
                         "B=2.5\r\nC=1\r\nD=0.1\r\nE=2\r\nunits=Bq/cm2\r\npreset_time=60\r\n"
                         "[Fixed]\r\nB=9\r\nB_X=0\r\nC=2\r\nD=3\r\nE=4\r\nC_X=0\r\nD_X=0\r\nE_X=0\r\nunits=Bq\r\n"
                         "[Broken]\r\ncaption=no factors\r\nunits=cps\r\npreset_time=30\r\n");
        setup.form_show();
    }

    void fill_all() {
        setup.choose_set("Smear");
        setup.fields.sample_id = "S1";
        setup.fields.description = "soil";
        setup.fields_changed();
    }
};

} // namespace

TEST_F(MeasurementSetup, OpensWithNothingChosenAndOffersTheLastSampleAgain) {
    fill_all();
    ASSERT_TRUE(setup.start_enabled());
    setup.form_show();
    EXPECT_EQ(setup.set_names(), (std::vector<std::string>{"Smear", "Fixed", "Broken"}));
    EXPECT_EQ(setup.fields, run_setup{}) << "nothing was started yet"; // the count keeps "1"
    EXPECT_EQ(setup.labels, setup_labels{}) << "no set chosen, none shown";
    fill_all();
    ASSERT_TRUE(setup.start().open_run);
    setup.form_show();
    EXPECT_EQ(setup.fields.sample_id, "S1");
    EXPECT_EQ(setup.fields.description, "soil");
    EXPECT_EQ(setup.fields.set_name, "");
    EXPECT_EQ(setup.fields.preset_time, "");
    EXPECT_EQ(setup.labels, setup_labels{});
    EXPECT_FALSE(setup.start_enabled());
}

TEST_F(MeasurementSetup, ASeriesIsOfferedOnlyWhenTheOptionAllowsItAndItsCountIsChecked) {
    const std::string options = dir.file("program_opt.xkv");
    EXPECT_FALSE(read_read_only_options(options).allow_series);
    write_file(options, "[MEASUREMENT]\r\nallow_series=1\r\n");
    ASSERT_TRUE(read_read_only_options(options).allow_series);
    EXPECT_FALSE(setup.count_enabled());

    measurement_setup series(path, read_read_only_options(options).allow_series);
    EXPECT_TRUE(series.count_enabled());
    series.form_show();
    series.choose_set("Smear");
    series.fields.sample_id = "S1";
    series.fields.description = "soil";
    series.fields.count = "12";
    EXPECT_TRUE(series.start().open_run);
    series.form_show();
    EXPECT_EQ(series.fields.count, "12") << "the count is the operator's";
    series.choose_set("Smear");
    series.fields.count = "-3";
    EXPECT_EQ(series.start().messages, std::vector<std::string>{"CAN NOT SET count to 0"});
    series.fields.count = "x";
    EXPECT_THROW(series.start(), conversion_error);
}

TEST_F(MeasurementSetup, ChoosingASetFillsTheFieldsAndLabels) {
    setup.choose_set("Smear");
    EXPECT_EQ(setup.labels.alpha, "ALPHA = 0.25 / 0.05");
    EXPECT_EQ(setup.labels.beta, "BETA  = 0.4 / 0.06");
    EXPECT_EQ(setup.labels.caption, "Wipe test");
    EXPECT_EQ(setup.labels.k, "K = 5");
    EXPECT_EQ(setup.fields.preset_time, "60");
    EXPECT_EQ(setup.fields.quantity, "2.5"); // B is used as 1/X, so it is the quantity
    EXPECT_EQ(setup.fields.units, "Bq/cm2");

    setup.fields.quantity = "7";
    setup.fields.preset_time = "999";
    setup.choose_set("Fixed");
    EXPECT_EQ(setup.fields.quantity, "7"); // B used as X leaves the quantity alone
    EXPECT_EQ(setup.fields.preset_time, "100");
    EXPECT_EQ(setup.fields.units, "Bq");
    EXPECT_EQ(setup.labels.k, "K = 24");
}

TEST_F(MeasurementSetup, ASetWithoutKStopsAtKAndLeavesStartAlone) {
    fill_all();
    EXPECT_THROW(setup.choose_set("Broken"), conversion_error);
    EXPECT_EQ(setup.labels.caption, "no factors");
    EXPECT_EQ(setup.fields.preset_time, "30");
    EXPECT_EQ(setup.fields.units, "cps");
    EXPECT_EQ(setup.labels.k, "K = 5");
    EXPECT_TRUE(setup.start_enabled());

    write_file(path, "[Zero]\r\nC=0\r\nD=1\r\nE=1\r\n");
    EXPECT_THROW(setup.choose_set("Zero"), float_error);
}

TEST_F(MeasurementSetup, StartNeedsEverySevenTexts) {
    std::string run_setup::*const fields[] = {&run_setup::set_name, &run_setup::sample_id,   &run_setup::description,
                                              &run_setup::count,    &run_setup::preset_time, &run_setup::quantity,
                                              &run_setup::units};
    for (auto field : fields) {
        fill_all();
        ASSERT_TRUE(setup.start_enabled());
        const std::string kept = setup.fields.*field;
        setup.fields.*field = "";
        setup.fields_changed();
        EXPECT_FALSE(setup.start_enabled());
        setup.fields.*field = kept;
        setup.fields_changed();
        EXPECT_TRUE(setup.start_enabled());
    }
}

TEST_F(MeasurementSetup, StartChecksQuantityThenPresetTimeThenCount) {
    struct row {
        const char *quantity, *preset, *count;
        std::vector<std::string> messages;
    };
    const row rows[] = {
        {"1", "100", "1", {}},
        {"0", "100", "1", {"CAN NOT SET quantity to 0"}},
        {"1", "-5", "1", {"CAN NOT SET preset time to 0"}},
        {"-1", "0", "1", {"CAN NOT SET quantity to 0", "CAN NOT SET preset time to 0"}},
        {"1", "0.5", "1", {}},     // counts the digits: 5 s
        {"1", "1e3", "1", {}},     // counts 13 s
        {"1", "2000000", "1", {}}, // the label's range is not enforced
        {"1", "100", "100", {}},
        {"1", "100", "101", {"CAN NOT SET count above 100"}},
        {"1", "100", "0", {"CAN NOT SET count to 0"}},
    };
    fill_all();
    for (const auto& r : rows) {
        setup.fields.quantity = r.quantity;
        setup.fields.preset_time = r.preset;
        setup.fields.count = r.count;
        const setup_start s = setup.start();
        EXPECT_EQ(s.messages, r.messages) << r.quantity << " " << r.preset << " " << r.count;
        EXPECT_EQ(s.open_run, r.messages.empty());
    }
}

TEST_F(MeasurementSetup, StartFailsOnTextsThatAreNotNumbers) {
    fill_all();
    setup.fields.quantity = "1,5";
    EXPECT_THROW(setup.start(), conversion_error);
    setup.fields.quantity = "1";
    setup.fields.preset_time = "ten";
    EXPECT_THROW(setup.start(), conversion_error);
    setup.fields.preset_time = "99999999999"; // a number, but too long to count
    EXPECT_THROW(setup.start(), conversion_error);
}
