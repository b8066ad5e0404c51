#include "measurement/parameter_editor.h"
#include "measurement/parameter_sets.h"
#include "settings/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace xkv;
using test::read_file;
using test::write_file;

namespace {

struct ParameterEditor : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("calibrations.cfg");
    parameter_editor editor{path};

    void write_two_sets() {
        write_file(path, "[Water]\r\nalpha=0.3\r\nbeta=0.5\r\nB=-1\r\nC=1\r\nD=1\r\nE=1\r\nC_X=0\r\n"
                         "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nB=2\r\nB_X=0\r\nunits=Bq/g\r\n");
    }
};

} // namespace

TEST_F(ParameterEditor, EmptyFileShowsTheDefaultsInBrowseMode) {
    editor.form_show();
    EXPECT_TRUE(editor.names().empty());
    EXPECT_FALSE(editor.selected());
    EXPECT_EQ(editor.view.alpha, "1");
    EXPECT_EQ(editor.view.act_beta, "1");
    EXPECT_EQ(editor.view.preset_time, "100");
    EXPECT_EQ(editor.view.factor_c, "");
    EXPECT_TRUE(editor.view.radio_B_1X && editor.view.radio_C_1X && editor.view.radio_D_1X && editor.view.radio_E_1X);
    EXPECT_FALSE(editor.view.radio_C_X || editor.view.radio_D_X || editor.view.radio_E_X);
    EXPECT_FALSE(editor.edit_mode());
}

TEST_F(ParameterEditor, ShowingAndCollectingMirrorEachOther) {
    _calibration c;
    c.alpha = "0.25";
    c.name = "Soil";
    c.factor_c = "3";
    c.B_X = false;
    c.C_X = false;
    c.E_X = true;
    c.background_correction = true;
    c.chk_eff_B = true;
    const parameter_set_view v = show_parameter_set(c);
    EXPECT_FALSE(v.radio_B_1X);
    EXPECT_TRUE(v.radio_C_X);
    EXPECT_FALSE(v.radio_C_1X);
    EXPECT_TRUE(v.radio_E_1X);
    EXPECT_EQ(collect_parameter_set(v), c);

    // Only the 1/X choices count when the fields are read back.
    parameter_set_view odd = v;
    odd.radio_D_X = true;
    odd.radio_D_1X = false;
    EXPECT_FALSE(collect_parameter_set(odd).D_X);
}

TEST_F(ParameterEditor, BrowseAndEditModesEnableOppositeControls) {
    write_two_sets();
    editor.form_show();
    EXPECT_TRUE(editor.new_enabled() && editor.edit_enabled() && editor.list_visible());
    EXPECT_FALSE(editor.fields_enabled() || editor.name_enabled() || editor.ok_enabled());

    editor.new_set();
    EXPECT_FALSE(editor.new_enabled() || editor.edit_enabled() || editor.list_visible());
    EXPECT_TRUE(editor.fields_enabled() && editor.name_enabled() && editor.ok_enabled());

    editor.form_show();
    editor.edit_set();
    EXPECT_TRUE(editor.fields_enabled() && editor.ok_enabled());
    EXPECT_FALSE(editor.name_enabled()); // the edited set keeps its section
    EXPECT_EQ(editor.view.name, "Water");
}

TEST_F(ParameterEditor, ChoosingAnEntryShowsThatSet) {
    write_two_sets();
    editor.form_show();
    EXPECT_EQ(editor.names(), (std::vector<std::string>{"Water", "Soil"}));
    EXPECT_EQ(editor.selected(), 0u);
    EXPECT_EQ(editor.view.alpha, "0.3");
    EXPECT_TRUE(editor.view.radio_C_X);
    editor.choose(1);
    EXPECT_EQ(editor.view.name, "Soil");
    EXPECT_EQ(editor.view.units, "Bq/g");
    EXPECT_FALSE(editor.view.radio_B_1X);
}

TEST_F(ParameterEditor, NewStartsAsACopyAndNeedsAName) {
    write_two_sets();
    editor.form_show();
    editor.choose(1);
    const std::string before = read_file(path);
    editor.new_set();
    EXPECT_EQ(editor.view.name, "");
    EXPECT_EQ(editor.view.alpha, "0.25");
    EXPECT_EQ(editor.confirm(), std::string(no_name_message));
    EXPECT_TRUE(editor.edit_mode());
    EXPECT_EQ(read_file(path), before);
}

TEST_F(ParameterEditor, OkSavesThenShowsTheFirstSetOfTheFile) {
    write_two_sets();
    editor.form_show();
    editor.choose(1);
    editor.new_set();
    editor.view.name = "Filter";
    editor.view.alpha = "0.7";
    EXPECT_EQ(editor.confirm(), std::nullopt);
    EXPECT_FALSE(editor.edit_mode());
    EXPECT_EQ(editor.names(), (std::vector<std::string>{"Water", "Soil", "Filter"}));
    EXPECT_EQ(editor.selected(), 0u);
    EXPECT_EQ(editor.view.name, "Water");
    const _calibration saved = load_parameter_set(path, "Filter");
    EXPECT_EQ(saved.alpha, "0.7");
    EXPECT_EQ(saved.units, "Bq/g");
    EXPECT_FALSE(saved.B_X); // a file's B_X of 0 survives, though the editor cannot set it
}

TEST_F(ParameterEditor, NewUnderAnExistingNameOverwritesThatSet) {
    write_two_sets();
    editor.form_show();
    editor.new_set();
    editor.view.name = "Soil";
    editor.view.beta = "0.9";
    editor.confirm();
    EXPECT_EQ(editor.names().size(), 2u);
    EXPECT_EQ(load_parameter_set(path, "Soil").beta, "0.9");
    EXPECT_EQ(load_parameter_set(path, "Soil").alpha, "0.3"); // copied from Water, shown at NEW
}

TEST_F(ParameterEditor, AfterOkNonPositiveFieldsShowTheSmallestValueButTheFileKeepsThem) {
    write_file(path, "[Zero]\r\nalpha=0\r\nbeta=-2\r\nB=0\r\n");
    editor.form_show();
    editor.edit_set();
    editor.confirm();
    EXPECT_EQ(editor.view.factor_b, "0.0001");
    EXPECT_EQ(editor.view.alpha, "0.0001");
    EXPECT_EQ(editor.view.beta, "0.0001");
    EXPECT_EQ(load_parameter_set(path, "Zero").alpha, "0");
    EXPECT_EQ(load_parameter_set(path, "Zero").beta, "-2");
}

TEST_F(ParameterEditor, LeavingACheckedField) {
    struct row {
        const char* text;
        const char* shown;
    };
    const row rows[] = {{"0", "0.0001"}, {"-2", "0.0001"}, {"0.5", "0.5"}, {"1e-9", "1e-9"}};
    for (const auto& r : rows) {
        editor.view.alpha = editor.view.beta = editor.view.factor_b = r.text;
        editor.leave_field(checked_field::alpha);
        editor.leave_field(checked_field::beta);
        editor.leave_field(checked_field::factor_b);
        EXPECT_EQ(editor.view.alpha, r.shown) << r.text;
        EXPECT_EQ(editor.view.beta, r.shown) << r.text;
        EXPECT_EQ(editor.view.factor_b, r.shown) << r.text;
    }
    editor.view.alpha = "abc";
    EXPECT_THROW(editor.leave_field(checked_field::alpha), conversion_error);
    EXPECT_EQ(editor.view.alpha, "abc");
}

TEST_F(ParameterEditor, FailedWriteKeepsEditMode) {
    parameter_editor nowhere(dir.file("ini/calibrations.cfg"));
    nowhere.form_show();
    nowhere.new_set();
    nowhere.view.name = "Soil";
    EXPECT_THROW(nowhere.confirm(), write_error);
    EXPECT_TRUE(nowhere.edit_mode());
    EXPECT_EQ(nowhere.view.name, "Soil");
}

TEST_F(ParameterEditor, OkChecksEveryEfficiencyNumberEachTimeAndSavesNothingUntilTheyAre) {
    write_two_sets();
    editor.form_show();
    editor.edit_set();
    editor.view.act_beta = ""; // never visited, so never checked on leaving
    EXPECT_THROW(editor.confirm(), conversion_error);
    EXPECT_EQ(editor.bad_field(), checked_field::act_beta);
    EXPECT_THROW(editor.confirm(), conversion_error) << "a second OK checks again";
    EXPECT_TRUE(editor.edit_mode());
    EXPECT_EQ(load_parameter_set(path, "Water").act_beta, "1") << "nothing was written";
    editor.view.act_beta = "0.05";
    EXPECT_EQ(editor.confirm(), std::nullopt);
    EXPECT_EQ(editor.bad_field(), std::nullopt);
    EXPECT_EQ(load_parameter_set(path, "Water").act_beta, "0.05");
}
