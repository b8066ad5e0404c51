#include "results/report_output.h"
#include "results/result_columns.h"
#include "results/run_grid.h"
#include "results/save_results.h"
#include "results/t_sqlite.h"
#include "results/viewer_query.h"
#include "results/xls_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>

using namespace xkv;

namespace {

// Every place of one kind is taken exactly once, from 0 up.
bool places_are_dense(int result_column::*place, std::size_t expected) {
    std::set<int> taken;
    for (const result_column& c : results_columns())
        if (c.*place >= 0 && !taken.insert(c.*place).second) return false;
    return taken.size() == expected && (taken.empty() || *taken.rbegin() == static_cast<int>(expected) - 1);
}

std::string file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

TEST(ResultColumns, TheTableMakesTheSchemaEveryDatabaseFileHas) {
    EXPECT_EQ(results_create_table, "CREATE TABLE results ("
                                    "[id] INTEGER PRIMARY KEY,"
                                    "[ts] TIMESTAMP DEFAULT CURRENT_TIMESTAMP,"
                                    "[sample_id] VARCHAR (128),"
                                    "[description] VARCHAR (255),"
                                    "[series_number] INTEGER,"
                                    "[hv] INTEGER,"
                                    "[mode] VARCHAR (32),"
                                    "[p1] NUMERIC,"
                                    "[p2] NUMERIC,"
                                    "[time] INTEGER,"
                                    "[preset_time] INTEGER,"
                                    "[cal_l] VARCHAR (255),"
                                    "[cal_b] VARCHAR (255),"
                                    "[cal_l_act] VARCHAR (255),"
                                    "[cal_b_act] VARCHAR (255),"
                                    "[cal_text] VARCHAR (255),"
                                    "[cal_name] VARCHAR (255),"
                                    "[activity_l] VARCHAR (255),"
                                    "[u_activity_l] VARCHAR (255),"
                                    "[activity_b] VARCHAR (255),"
                                    "[u_activity_b] VARCHAR (255),"
                                    "[bck_l] VARCHAR (255),"
                                    "[bck_b] VARCHAR (255),"
                                    "[bck_time] VARCHAR (255),"
                                    "[quantity] NUMERIC,"
                                    "[units] VARCHAR (255),"
                                    "[MDA_a] NUMERIC,"
                                    "[MDA_b] NUMERIC,"
                                    "[koef_k] NUMERIC,"
                                    "[bgn_corr] INTEGER,"
                                    "[text_act_a] VARCHAR (255),"
                                    "[text_act_b] VARCHAR (255)"
                                    ")");
    EXPECT_EQ(results_insert,
              "INSERT INTO results (sample_id,description,series_number,hv,mode,p1,p2,time,preset_time,cal_l,cal_b,"
              "cal_l_act,cal_b_act,cal_text,cal_name,activity_l,activity_b,u_activity_l,u_activity_b,bck_l,bck_b,"
              "bck_time,quantity,units,MDA_a,MDA_b,koef_k,bgn_corr,text_act_a,text_act_b)  values ("
              "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    EXPECT_TRUE(places_are_dense(&result_column::schema_position, results_column_count));
    EXPECT_TRUE(places_are_dense(&result_column::save_position, saved_column_count()));
    EXPECT_TRUE(places_are_dense(&result_column::grid_position, run_grid_column_count));
}

// One row whose every column holds its own text goes through SAVE into a real file, back out
// through the viewer's select, into the run grid, a report with every column's tag, and the
// spreadsheet of the listing.
TEST(ResultColumns, EveryColumnReachesSaveTheViewerTheGridTheReportAndTheSpreadsheet) {
    test::temp_dir dir;
    _r_results row;
    std::vector<std::string> expected(results_column_count);
    for (std::size_t i = 0; i < results_column_count; ++i) {
        const result_column& c = results_columns()[i];
        if (c.save_position < 0) continue; // the database numbers and stamps the row
        expected[i] = c.name == "bgn_corr" ? "1" : c.numeric() ? std::to_string(100 + i) : "v-" + std::string(c.name);
        c.field.set(row, expected[i]);
    }
    run_table table{};
    table[0] = row;
    ASSERT_EQ(save_results(table, dir.file("r.mdb")), save_outcome::saved);

    const viewer_grid listing = list_results(dir.file("r.mdb"), base_select());
    ASSERT_EQ(listing.row_count(), 2u);
    expected[0] = "1";
    expected[1] = std::string(listing.cell(1, 1));
    EXPECT_FALSE(expected[1].empty());

    const auto grid = show_table(table);
    std::string report_template = "{TABLE}\n";
    for (const result_column& c : results_columns())
        report_template += std::string(c.name) + "={" + std::string(c.report_tag) + "}\n";
    std::ofstream(dir.file("t.txt")) << report_template << "{END_TABLE}\n";
    const report_text report =
        make_report({dir.file("t.txt"), dir.file("default.xkv"), "", {}}, viewer_report_rows(listing), "2");
    ASSERT_EQ(report.error_text, "");

    save_grid_as_xls(listing, dir.file("r.xls"));
    const std::string spreadsheet = file_bytes(dir.file("r.xls"));

    for (std::size_t i = 0; i < results_column_count; ++i) {
        const result_column& c = results_columns()[i];
        SCOPED_TRACE(std::string(c.name));
        EXPECT_EQ(listing.cell(0, i), c.header);
        EXPECT_EQ(listing.cell(1, i), expected[i]);
        if (c.grid_position >= 0) {
            const auto at = static_cast<std::size_t>(c.grid_position);
            EXPECT_EQ(grid[0].at(at), c.shown_in_grid());
            EXPECT_EQ(grid[1].at(at), c.name == "id" ? "0" : expected[i]);
        }
        const std::string reported = c.name == "bgn_corr" ? "preset" : expected[i];
        EXPECT_NE(std::find(report.lines.begin(), report.lines.end(), std::string(c.name) + "=" + reported),
                  report.lines.end());
        EXPECT_NE(spreadsheet.find(c.header), std::string::npos);
    }
}
