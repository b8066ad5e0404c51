#include "results/text_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace xkv;

namespace {

using rows_t = std::vector<std::vector<std::string>>;

constexpr std::size_t mib = std::size_t{1} << 20;

// Every cell read both ways, against the rows it was filled with.
void expect_holds(const text_table& table, const rows_t& rows) {
    ASSERT_EQ(table.row_count(), rows.size());
    std::vector<std::string_view> views;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        ASSERT_EQ(table.row_length(r), rows[r].size()) << "row " << r;
        table.row_views(r, views);
        ASSERT_EQ(views.size(), rows[r].size()) << "row " << r;
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            ASSERT_EQ(table.cell(r, c), rows[r][c]) << "row " << r << " column " << c;
            ASSERT_EQ(views[c], rows[r][c]) << "row " << r << " column " << c;
        }
    }
}

std::string text_of(std::size_t length, std::size_t seed) {
    std::string text(length, ' ');
    for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (seed + i) % 26);
    return text;
}

} // namespace

TEST(TextTable, ShortRowsAndCellsOutsideReadAsEmpty) {
    const text_table table{{"count", "p1", "p2"}, {"1"}, {}, {"2", "", "x"}};
    EXPECT_EQ(table.row_count(), 4u);
    EXPECT_EQ(table.column_count(), 3u);
    EXPECT_EQ(table.row_length(1), 1u);
    EXPECT_EQ(table.row_length(2), 0u);
    EXPECT_EQ(table.cell(0, 1), "p1");
    EXPECT_EQ(table.cell(1, 1), ""); // a short row
    EXPECT_EQ(table.cell(3, 2), "x");
    EXPECT_EQ(table.cell(3, 3), ""); // beyond the columns
    EXPECT_EQ(table.cell(4, 0), ""); // beyond the rows
    EXPECT_EQ(table.row(3), (std::vector<std::string>{"2", "", "x"}));
    EXPECT_TRUE(table.row(9).empty());
    EXPECT_TRUE(text_table().empty());
    EXPECT_EQ(text_table().column_count(), 0u);
}

TEST(TextTable, CellsOfEverySizeSurviveTheBlockBoundaries) {
    // Lengths chosen so that cells end on, just before and just past the 1 MiB block ends, and
    // some cells do not fit the rest of a block; empty cells fall at the boundaries too.
    const std::vector<std::size_t> lengths = {0,   1, 7, 255,     256, 257,         4096, 65535, 333333, mib - 1,
                                              mib, 0, 3, mib + 1, 0,   5 * mib / 2, 0,    12,    100000};
    rows_t rows;
    text_table table;
    for (std::size_t round = 0; round < 3; ++round)
        for (std::size_t i = 0; i < lengths.size(); i += 3) {
            std::vector<std::string> row;
            for (std::size_t k = i; k < i + 3 && k < lengths.size(); ++k)
                row.push_back(text_of(lengths[k], round * 31 + k));
            table.add_row(row);
            rows.push_back(std::move(row));
        }
    expect_holds(table, rows);

    // Many small cells march across several blocks one byte at a time.
    rows_t small;
    text_table many;
    for (std::size_t r = 0; r < 40000; ++r) {
        std::vector<std::string> row;
        for (std::size_t c = 0; c < 8; ++c) row.push_back(text_of((r * 7 + c * 13) % 23, r + c));
        many.add_row(row);
        small.push_back(std::move(row));
    }
    expect_holds(many, small);
}

TEST(TextTable, CopiesAreEqualAndIndependent) {
    text_table table{{"a", "b"}, {"c"}};
    table.add_cell(std::string(3 * mib, 'z')); // into the last row
    const text_table copy = table;
    EXPECT_EQ(copy, table);
    EXPECT_EQ(copy.cell(1, 1).size(), 3 * mib);

    table.add_row(std::vector<std::string>{"d"});
    EXPECT_FALSE(copy == table);
    EXPECT_EQ(copy.row_count(), 2u);

    text_table assigned;
    assigned = table;
    EXPECT_EQ(assigned, table);
    const text_table moved = std::move(assigned);
    EXPECT_EQ(moved, table);

    // Equal texts in differently shaped rows are different tables.
    EXPECT_FALSE((text_table{{"a", ""}}) == (text_table{{"a"}}));
    EXPECT_EQ((text_table{{"a", "b"}}), text_table(rows_t{{"a", "b"}}));
}

TEST(TextTable, KeptRowsStayAndTheTableGrowsOnFromThem) {
    rows_t rows;
    text_table table;
    for (std::size_t r = 0; r < 3000; ++r) {
        rows.push_back({text_of(r % 700, r), text_of(900, r)});
        table.add_row(rows.back());
    }
    table.keep_rows(5000); // more than it has: nothing changes
    expect_holds(table, rows);

    table.keep_rows(1000);
    rows.resize(1000);
    expect_holds(table, rows);
    EXPECT_EQ(table.column_count(), 2u);

    rows.push_back({"after"});
    table.add_row(rows.back());
    expect_holds(table, rows);

    table.keep_rows(0);
    EXPECT_TRUE(table.empty());
    EXPECT_EQ(table.column_count(), 0u);
}
