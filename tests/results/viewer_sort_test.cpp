// The viewer's column order: numbers by value, time stamps in time order, empty cells first.

#include "results/viewer_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace xkv;

TEST(ViewerSort, NumbersByValueThenTimeStampsThenTextEmptyFirst) {
    std::vector<std::string> cells = {
        "40",  "2024-05-02 12:00:00", "soil", "", "2.5", "1E-6", "-3", "2024-05-02", "12.5",
        "nan", "2023-12-31 23:59:59", "Bq"};
    std::stable_sort(cells.begin(), cells.end(), viewer_cell_less);
    EXPECT_EQ(cells, (std::vector<std::string>{"", "-3", "1E-6", "2.5", "12.5", "40", "2023-12-31 23:59:59",
                                               "2024-05-02", "2024-05-02 12:00:00", "Bq", "nan", "soil"}));
}
