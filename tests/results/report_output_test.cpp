#include "results/report_output.h"
#include "settings/errors.h"
#include "settings/ini_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

using namespace xkv;

namespace {

// Answers the dialogs from a script and records what was shown.
struct scripted_ui : ui_services {
    std::optional<std::string> save_answer;
    bool open_succeeds = true;
    std::vector<std::string> shown; // messages and warnings, "caption: text" for warnings
    std::vector<std::string> opened;
    std::string filter, extension;

    void show_message(const std::string& text) override { shown.push_back(text); }
    void show_warning(const std::string& text, const std::string& caption) override {
        shown.push_back(caption + ": " + text);
    }
    void show_error(const std::string& text) override { shown.push_back("error: " + text); }
    bool confirm_ok_cancel(const std::string&, default_answer) override { return true; }
    std::optional<std::string> ask_text(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    bool confirm_yes_no(const std::string&, const std::string&) override { return true; }
    std::optional<std::string> choose_open_file(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> choose_save_file(const std::string& f, const std::string& e) override {
        filter = f;
        extension = e;
        return save_answer;
    }
    bool open_with_desktop(const std::string& path) override {
        opened.push_back(path);
        return open_succeeds;
    }
};

using listing_t = std::vector<std::vector<std::string>>;

std::vector<std::string> viewer_cells(int n) {
    std::vector<std::string> cells;
    for (int c = 0; c < 32; ++c) cells.push_back("c" + std::to_string(c) + "r" + std::to_string(n));
    cells[29] = "0";
    return cells;
}

struct ReportOutput : ::testing::Test {
    test::temp_dir dir;
    scripted_ui ui;
    report_sources sources;
    std::string report_path = dir.file("report.txt");

    ReportOutput() {
        sources.template_path = dir.file("t.tpl");
        sources.counter_path = dir.file("default.xkv");
        sources.creator = "A. Operator";
        sources.setup.sample_id = "W-17";
        sources.setup.description = "wipe test";
        use_template("No. {NUMBER} by {CREATOR} on {CUR_DATE}, {SAMPLE_ID} ({DESCRIPTION})\n"
                     "{TABLE}\n{D.SAMP_ID} {D.ID} {D.DATE}\n{END_TABLE}\nend");
        ui.save_answer = report_path;
    }
    void use_template(const std::string& text) { test::write_file(sources.template_path, text); }
    void store_counter(const std::string& value) {
        test::write_file(sources.counter_path, "[TEMPLATE]\nnumber=" + value + "\n");
    }
    int stored_counter() const { return ini_file(sources.counter_path).read_integer("TEMPLATE", "number", -999); }
};

} // namespace

TEST_F(ReportOutput, CounterAdvancesAndStoresTheDigitsOfTheNewNumber) {
    struct Case {
        std::optional<std::string> stored;
        std::string number;
        int after;
    } cases[] = {{std::nullopt, "2", 2}, {"7", "8", 8}, {"-5", "-4", 4}, {"junk", "2", 2}, {"0", "1", 1}};
    for (const Case& c : cases) {
        std::filesystem::remove(sources.counter_path);
        if (c.stored) store_counter(*c.stored);
        EXPECT_EQ(advance_report_counter(sources.counter_path), c.number);
        EXPECT_EQ(stored_counter(), c.after);
    }
    store_counter("2147483647");
    EXPECT_THROW(advance_report_counter(sources.counter_path), conversion_error);
    EXPECT_EQ(stored_counter(), 2147483647);
}

TEST_F(ReportOutput, RunReportIsWrittenWithCrLfAndOpened) {
    store_counter("7");
    run_table table;
    table[0].sample_id = "A";
    table[1].sample_id = "B";
    table[2].sample_id = "C";
    table[4].sample_id = "after the gap";

    const std::string before = today_short_date();
    EXPECT_EQ(report_from_run(table, sources, ui), report_result::written);
    const std::string after = today_short_date();
    const std::string text = test::read_file(report_path);
    const bool dated =
        text == "No. 8 by A. Operator on " + before + ", W-17 (wipe test)\r\nA  \r\nB  \r\nC  \r\nend\r\n" ||
        text == "No. 8 by A. Operator on " + after + ", W-17 (wipe test)\r\nA  \r\nB  \r\nC  \r\nend\r\n";
    EXPECT_TRUE(dated) << text;
    EXPECT_EQ(stored_counter(), 8);
    EXPECT_EQ(ui.filter, "report file|*.txt");
    EXPECT_EQ(ui.extension, "txt");
    EXPECT_EQ(ui.opened, std::vector<std::string>{report_path});
    EXPECT_TRUE(ui.shown.empty());

    EXPECT_EQ(report_from_run(run_table{}, sources, ui), report_result::written);
    EXPECT_EQ(test::read_file(report_path).substr(0, 6), "No. 9 ") << "consecutive numbers, an existing file replaced";
    EXPECT_NE(test::read_file(report_path).find(")\r\nend\r\n"), std::string::npos) << "no rows before any measurement";
}

TEST_F(ReportOutput, ACancelledOrFailedReportUsesNoNumber) {
    store_counter("7");
    ui.save_answer.reset();
    EXPECT_EQ(report_from_run(run_table{}, sources, ui), report_result::cancelled);
    EXPECT_EQ(stored_counter(), 7);
    EXPECT_FALSE(std::filesystem::exists(report_path));
    EXPECT_TRUE(ui.opened.empty());

    ui.save_answer = dir.file("no/such/folder/report.txt");
    EXPECT_THROW(report_from_run(run_table{}, sources, ui), file_error);
    EXPECT_EQ(stored_counter(), 7);
    EXPECT_THROW(write_report_file(dir.path(), {"x"}), file_error);

    ui.save_answer = report_path;
    EXPECT_EQ(report_from_run(run_table{}, sources, ui), report_result::written);
    EXPECT_EQ(test::read_file(report_path).substr(0, 6), "No. 8 ");
}

TEST_F(ReportOutput, ReportsWrittenAtOnceNeverShareANumber) {
    store_counter("1");
    std::vector<std::string> numbers(40);
    std::vector<std::thread> writers;
    for (int w = 0; w < 10; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < 4; ++i) {
                const int n = w * 4 + i;
                numbers[n] = write_numbered_report(sources, {}, dir.file("r" + std::to_string(n) + ".txt")).number;
            }
        });
    for (auto& t : writers) t.join();
    std::sort(numbers.begin(), numbers.end(),
              [](const std::string& a, const std::string& b) { return std::stoi(a) < std::stoi(b); });
    for (int n = 0; n < 40; ++n) EXPECT_EQ(numbers[n], std::to_string(n + 2));
    EXPECT_EQ(stored_counter(), 41);
}

TEST_F(ReportOutput, FailedOpenWarnsAndKeepsTheFile) {
    ui.open_succeeds = false;
    EXPECT_EQ(report_from_viewer(text_table{}, sources, ui), report_result::open_failed);
    EXPECT_EQ(ui.shown, std::vector<std::string>{"Error: Couldn't execute the application"});
    EXPECT_TRUE(std::filesystem::exists(report_path));
}

TEST_F(ReportOutput, BrokenTemplateShowsItsMessageAndUsesNoNumber) {
    store_counter("7");
    use_template("fine\n{NUMBER\n");
    EXPECT_EQ(report_from_run(run_table{}, sources, ui), report_result::template_error);
    EXPECT_EQ(ui.shown, std::vector<std::string>{"SYNTAX ERROR AT LINE 1"});
    EXPECT_EQ(stored_counter(), 7);
    EXPECT_FALSE(std::filesystem::exists(report_path));

    std::filesystem::remove(sources.template_path);
    EXPECT_THROW(report_from_run(run_table{}, sources, ui), file_error);
    EXPECT_EQ(stored_counter(), 7);
}

TEST_F(ReportOutput, ViewerCellsMapToTheRowFields) {
    listing_t listing{std::vector<std::string>(32, "header"), viewer_cells(1), viewer_cells(2), viewer_cells(3)};
    listing[1][29] = " 1 ";
    listing[2][29] = "";
    listing[3].resize(5); // a short row reads its missing cells as empty
    const std::vector<_r_results> rows = viewer_report_rows(text_table(listing));
    ASSERT_EQ(rows.size(), 3u);
    const _r_results& r = rows[0];
    const std::string got[] = {r.id,
                               r.date,
                               r.sample_id,
                               r.description,
                               r.series_number,
                               r.hv,
                               r.mode,
                               r.p1,
                               r.p2,
                               r.time,
                               r.preset_time,
                               r.calibration.alpha,
                               r.calibration.act_alpha,
                               r.calibration.beta,
                               r.calibration.act_beta,
                               r.calibration.caption,
                               r.calibration.name,
                               r.activity_l,
                               r.u_activity_l,
                               r.activity_b,
                               r.u_activity_b,
                               r.background.alpha,
                               r.background.beta,
                               r.background.time,
                               r.quantity,
                               r.units,
                               r.MDA_a,
                               r.MDA_b,
                               r.koef_k};
    for (std::size_t c = 0; c < std::size(got); ++c) EXPECT_EQ(got[c], listing[1][c]) << "column " << c;
    EXPECT_EQ(r.text_act_a, "c30r1");
    EXPECT_EQ(r.text_act_b, "c31r1");
    EXPECT_EQ(r.calibration.factor_b, "");
    EXPECT_TRUE(rows[0].calibration.background_correction);
    EXPECT_FALSE(rows[1].calibration.background_correction);
    EXPECT_FALSE(viewer_report_rows(text_table(listing_t{viewer_cells(1)})).size()) << "row 0 holds the headers";
    EXPECT_EQ(rows[2].sample_id, "c2r3");
    EXPECT_EQ(rows[2].units, "");
}

TEST_F(ReportOutput, ViewerReportHoldsTheFirst201ListedRows) {
    use_template("{TABLE}\n{D.ID};{D.DATE};{D.SAMP_ID};{D.BC_CORR}\n{END_TABLE}");
    listing_t listing{std::vector<std::string>(32, "header")};
    for (int n = 1; n <= 500; ++n) listing.push_back(viewer_cells(n));
    listing[2][29] = "1";
    listing[3][2] = ""; // an empty sample ID does not end the listing
    EXPECT_EQ(report_from_viewer(text_table(listing), sources, ui), report_result::written);
    const std::string text = test::read_file(report_path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 201);
    EXPECT_EQ(text.substr(0, 17), "c0r1;c1r1;c2r1;\r\n");
    EXPECT_NE(text.find("\r\nc0r2;c1r2;c2r2;preset\r\nc0r3;c1r3;;\r\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\nc0r201;c1r201;c2r201;\r\n")) << text.substr(text.size() - 40);
}

TEST(ReportDate, ShortDateFollowsTheProcessLocale) {
    std::tm day{};
    day.tm_year = 2024 - 1900;
    day.tm_mon = 2;
    day.tm_mday = 5;
    day.tm_hour = 12;
    day.tm_isdst = -1;
    const std::time_t when = std::mktime(&day);
    EXPECT_EQ(short_date(when), "03/05/24");
    test::comma_locale german;
    if (!german.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(short_date(when), "05.03.2024");
}
