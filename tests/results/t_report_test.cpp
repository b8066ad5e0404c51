#include "results/t_report.h"
#include "settings/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

using namespace xkv;

namespace {

using lines_t = std::vector<std::string>;

struct TemplateFiles : ::testing::Test {
    test::temp_dir dir;

    t_report load(const std::string& text) {
        const std::string path = dir.file("t.tpl");
        test::write_file(path, text);
        return t_report(path);
    }

    // Loads, checks that the template passed, fills rows 0..n-1 with sample IDs "S0", "S1", ...
    lines_t generate(const std::string& text, int row_count = 0) {
        t_report r = load(text);
        EXPECT_EQ(r.error_text, "") << text;
        r.number_text = "7";
        r.setup.sample_id = "setup-id";
        r.setup.description = "setup-descr";
        for (int i = 0; i < row_count; ++i) {
            _r_results row;
            row.sample_id = "S" + std::to_string(i);
            row.calibration.beta = "0.3";
            row.calibration.factor_b = "FB";
            row.calibration.background_correction = i % 2 == 0;
            r.rows.push_back(row);
        }
        r.generate();
        return r.out_lines;
    }
};

} // namespace

TEST_F(TemplateFiles, CheckMessagesCountLinesFromZeroAndStopAtTheFirstError) {
    struct Case {
        std::string text;
        std::string error;
        std::size_t accepted;
    } cases[] = {
        {"", "", 1},
        {"a\r\nb\r\n", "", 2},
        {"a\nb\n{FOO}\n{BAR}\n", "WORD ERROR AT LINE 2", 2},
        {"a\n}{\n", "SYNTAX ERROR AT LINE 1", 1},
        {"{ NUMBER}", "WORD ERROR AT LINE 0", 0},
        {"{{NUMBER}", "WORD ERROR AT LINE 0", 0},
        {"} lone closing brace", "", 1},
        {"{number} {} {d.cal_b}", "", 1},
        {"{TABLE}\nbody", "{TABLE} WIHTOUT {END_TABLE}", 2},
        {"{TABLE}\nbody\n{NOPE}\n{END_TABLE}", "{TABLE} WIHTOUT {END_TABLE}", 2},
        {"{table}\nbody", "", 2},
        {"{TABLE}\n{END_TABLE}", "", 2},
        {std::string(10000, '{'), "SYNTAX ERROR AT LINE 0", 0},
    };
    for (const Case& c : cases) {
        const t_report r = load(c.text);
        EXPECT_EQ(r.error_text, c.error) << c.text.substr(0, 40);
        EXPECT_EQ(r.line_count(), c.accepted) << c.text.substr(0, 40);
    }
}

TEST_F(TemplateFiles, AnUnreadableTemplateIsAFileError) {
    EXPECT_THROW(t_report(dir.file("missing.tpl")), file_error);
    EXPECT_THROW(t_report(dir.path()), file_error);
}

TEST_F(TemplateFiles, APipeOrADeviceIsRefusedNotRead) {
    // A pipe with no writer would wait for one for ever; /dev/zero would never end.
    const std::string pipe = dir.file("t.tpl");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, std::string("/dev/zero")}) {
        try {
            t_report report(path);
            ADD_FAILURE() << path << " was read";
        } catch (const file_error& e) {
            EXPECT_EQ(std::string(e.what()),
                      "\"" + path + "\" is not a regular file (a pipe or a device, say) and is not read");
        }
    }
}

TEST_F(TemplateFiles, TagQuirksOfOneLine) {
    const std::string tail(150, 'x');
    const std::string long_plain(1 << 20, 'p');
    struct Case {
        std::string line;
        std::string out;
    } cases[] = {
        {"id {sample_id}, {Description}", "id setup-id, setup-descr"},
        {"{NUMBER}/{NUMBER}", "7/{NUMBER}"},
        {"[{}{}{}{}{}{}{}{}{}]", "[{}]"},
        {"a {TABLE}{END_TABLE} b", "a  b"},
        {"} stays", "} stays"},
        {"{NUMBER}" + tail, "7" + tail},
        {long_plain, long_plain},
        {"{CREATOR}{CUR_DATE}", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(generate(c.line), lines_t{c.out}) << c.line.substr(0, 40);
}

TEST_F(TemplateFiles, InsertedTextIsScannedByLaterSlots) {
    t_report r = load("{D.DESCR}");
    r.number_text = "7";
    r.rows.resize(1);
    r.rows[0].description = "no. {NUMBER}";
    r.generate();
    EXPECT_EQ(r.out_lines, lines_t{"no. {NUMBER}"}) << "slot 0 runs before slot 8";
    r.rows[0].description = "{D.ACT_A}";
    r.rows[0].activity_l = "42";
    r.generate();
    EXPECT_EQ(r.out_lines, lines_t{"42"});
}

TEST_F(TemplateFiles, EveryTagGivesItsField) {
    _r_results row;
    const std::pair<const char*, std::string*> row_tags[] = {
        {"D.SAMP_ID", &row.sample_id},
        {"D.DESCR", &row.description},
        {"D.SER_NUM", &row.series_number},
        {"D.HV", &row.hv},
        {"D.MODE", &row.mode},
        {"D.RESULT_A", &row.p1},
        {"D.RESULT_B", &row.p2},
        {"D.TIME", &row.time},
        {"D.P_TIME", &row.preset_time},
        {"D.CAL_A", &row.calibration.alpha},
        {"D.CAL_B", &row.calibration.beta},
        {"D.CAL_A_ACT", &row.calibration.act_alpha},
        {"D.CAL_B_ACT", &row.calibration.act_beta},
        {"D.CAL_TEXT", &row.calibration.caption},
        {"D.CAL_NAME", &row.calibration.name},
        {"D.ACT_A", &row.activity_l},
        {"D.U_ACT_A", &row.u_activity_l},
        {"D.ACT_B", &row.activity_b},
        {"D.U_ACT_B", &row.u_activity_b},
        {"D.BC_A", &row.background.alpha},
        {"D.BC_B", &row.background.beta},
        {"D.BC_TIME", &row.background.time},
        {"D.ID", &row.id},
        {"D.DATE", &row.date},
        {"D.QUANTITY", &row.quantity},
        {"D.UNITS", &row.units},
        {"D.MDA_A", &row.MDA_a},
        {"D.MDA_B", &row.MDA_b},
        {"D.CAL_C", &row.calibration.factor_c},
        {"D.CAL_D", &row.calibration.factor_d},
        {"D.CAL_E", &row.calibration.factor_e},
        {"D.K1", &row.koef_k},
        {"D.TEXT_A", &row.text_act_a},
        {"D.TEXT_B", &row.text_act_b},
    };
    std::string text = "{NUMBER}|{CREATOR}|{CUR_DATE}|{SAMPLE_ID}|{DESCRIPTION}\n{TABLE}\n";
    lines_t expected = {"n|c|d|s|e"};
    for (const auto& [tag, field] : row_tags) {
        *field = std::string("value of ") + tag;
        text += std::string("{") + tag + "}\n";
        expected.push_back(*field);
    }
    row.calibration.factor_b = "factor B";
    row.calibration.background_correction = true;
    text += "{D.CAL_B} then {D.CAL_B}\n{D.BC_CORR}\n{END_TABLE}";
    expected.insert(expected.end(), {"value of D.CAL_B then factor B", "preset"});

    t_report r = load(text);
    ASSERT_EQ(r.error_text, "");
    r.number_text = "n";
    r.creator_text = "c";
    r.date_text = "d";
    r.setup.sample_id = "s";
    r.setup.description = "e";
    r.rows = {row};
    r.generate();
    EXPECT_EQ(r.out_lines, expected);
}

TEST_F(TemplateFiles, BlocksRepeatTheirBodyForEveryRow) {
    EXPECT_EQ(
        generate("h {D.SAMP_ID}\n{TABLE}\n{D.SAMP_ID}:{D.CAL_B}/{D.CAL_B}\n- {d.bc_corr}\n{END_TABLE} x\nf {D.SAMP_ID}",
                 3),
        (lines_t{"h S0", "S0:0.3/FB", "- preset", "S1:0.3/FB", "- ", "S2:0.3/FB", "- preset", "f "}));
    EXPECT_EQ(generate("{TABLE}\nA{D.SAMP_ID}\n{END_TABLE}\n-\n{TABLE}\nB{D.SAMP_ID}\n{END_TABLE}", 2),
              (lines_t{"AS0", "AS1", "-", "BS0", "BS1"}));
    EXPECT_EQ(generate("{TABLE}\nrow\nrow\n{END_TABLE}\nafter", 0), lines_t{"after"});
    EXPECT_EQ(generate("top\n{TABLE}\n{D.SAMP_ID}\n{END_TABLE}", 2), (lines_t{"top", "S0", "S1"}));
}

TEST_F(TemplateFiles, BlocksWithoutAnEndMarkerRunToTheEndOfTheTemplate) {
    // A lower-case start marker escapes the load check but opens a block.
    EXPECT_EQ(generate("{table}\n{D.SAMP_ID}\n{end_table}\nend", 2), (lines_t{"S0", "S1", "end"}));
    EXPECT_EQ(generate("{table}\n{D.SAMP_ID}\nsecond", 2), (lines_t{"S0", "second", "S1", "second"}));
    EXPECT_EQ(generate("x\n{table}", 2), lines_t{"x"});
    // The line after a start marker is body even when it is an end marker.
    EXPECT_EQ(generate("{TABLE}\n{END_TABLE}\n{D.SAMP_ID}", 2), (lines_t{"", "S0", "", "S1"}));
    EXPECT_EQ(generate("{TABLE}\n{END_TABLE}\n{D.SAMP_ID}\n{END_TABLE}\nz", 1), (lines_t{"", "S0", "z"}));
}

TEST_F(TemplateFiles, BinaryBytesWithoutBracesPassThrough) {
    std::string junk;
    for (int i = 0; i < 256; ++i)
        if (i != '\n' && i != '{' && i != '}') junk += static_cast<char>(i);
    EXPECT_EQ(generate(junk + "\n" + junk), (lines_t{junk, junk}));
}

TEST(ShippedTemplate, PassesItsChecksAndReportsEveryRow) {
    t_report r(XKV_SOURCE_DIR "/templates/report.tpl");
    ASSERT_EQ(r.error_text, "");
    r.rows.resize(2);
    r.rows[0].sample_id = "first-sample";
    r.rows[1].sample_id = "second-sample";
    r.generate();
    std::string report;
    for (const std::string& line : r.out_lines) {
        EXPECT_EQ(line.find('{'), std::string::npos) << line;
        report += line + "\n";
    }
    EXPECT_NE(report.find("first-sample"), std::string::npos);
    EXPECT_NE(report.find("second-sample"), std::string::npos);
}
