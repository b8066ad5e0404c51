#include "results/run_grid.h"
#include "results_db.h"

#include <gtest/gtest.h>

using namespace xkv;
using test::measured_row;

TEST(RunGrid, EveryFieldShowsInItsColumn) {
    run_table table{};
    table[0] = measured_row("S1");
    const auto grid = show_table(table);
    ASSERT_EQ(grid.size(), 2u);
    EXPECT_EQ(grid[0], std::vector<std::string>(run_grid_headers.begin(), run_grid_headers.end()));
    const std::vector<std::string> expected = {
        "0",    "S1",    "soil", "1",     "1000",      "C1-C2", "12.5", "340",  "100",  "100",
        "0.31", "0.013", "0.42", "0.024", "wipe test", "wipe",  "1.25", "0.15", "3.4",  "0.25",
        "0.02", "0.03",  "600",  "2.5",   "Bq/g",      "0.75",  "0.5",  "0.2",  "1.25", "activity_beta < MDA_beta"};
    EXPECT_EQ(grid[1], expected);
    EXPECT_EQ(grid[0][10] + "|" + grid[0][11] + "|" + grid[0][12] + "|" + grid[0][13],
              "Eff Alpha|Uncertainty Eff Alpha|Eff Beta|Uncertainty Eff Beta");
}

TEST(RunGrid, RowsEndAtTheFirstFreeSlot) {
    run_table table{};
    table[0].calibration.alpha = "1"; // prepared, not measured
    EXPECT_EQ(show_table(table).size(), 1u);

    table[0] = measured_row("a");
    table[1] = measured_row("b");
    table[3] = measured_row("beyond the end mark");
    auto grid = show_table(table);
    ASSERT_EQ(grid.size(), 3u);
    EXPECT_EQ(grid[2][0] + " " + grid[2][1], "1 b");

    for (auto& slot : table) slot = measured_row("full");
    grid = show_table(table);
    ASSERT_EQ(grid.size(), run_table_size + 1);
    EXPECT_EQ(grid.back()[0], "100");
}
