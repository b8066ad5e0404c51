#include "results/save_results.h"
#include "results/t_sqlite.h"
#include "results/viewer_query.h"
#include "results_db.h"
#include "settings/errors.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace xkv;
using test::measured_row;

namespace {

// One stored row: its sample ID, time stamp and the values the filters look at.
struct stored_row {
    std::string sample_id = {};
    std::string ts = {}; // empty: noon of 2024-03-05
    std::string p1 = "1";
    std::string p2 = "1";
    std::string mode = "C1-C2";
    std::string cal_name = "wipe";
    std::string hv = "1000";
};

struct ViewerQuery : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("results.mdb");

    void store(const std::vector<stored_row>& rows) {
        t_sqlite db(path);
        for (const auto& r : rows)
            db.query("INSERT INTO results (sample_id,ts,p1,p2,mode,cal_name,hv) VALUES (?,?,?,?,?,?,?)",
                     {r.sample_id, r.ts.empty() ? "2024-03-05 12:00:00" : r.ts, r.p1, r.p2, r.mode, r.cal_name, r.hv});
    }

    // The sample IDs of the listing, sorted (the listing itself has no order).
    std::vector<std::string> listed(viewer_filter filter) {
        clean_bounds(filter);
        const viewer_grid grid = list_results(path, filtered_select(filter));
        std::vector<std::string> ids;
        for (std::size_t r = 1; r < grid.row_count(); ++r) ids.emplace_back(grid.cell(r, 2));
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    std::vector<std::string> offered(filter_list list, const std::string& typed) {
        auto entries = refill_list(path, list, typed);
        std::sort(entries.begin(), entries.end());
        return entries;
    }
};

using ids = std::vector<std::string>;

} // namespace

TEST_F(ViewerQuery, ListingHasTheHeadersAndThe32ColumnsOfEveryRow) {
    run_table table{};
    table[0] = measured_row("S1");
    table[0].calibration.background_correction = false;
    save_results(table, path);

    const viewer_grid grid = list_results(path, base_select());
    ASSERT_EQ(grid.row_count(), 2u);
    EXPECT_EQ(grid.row(0), std::vector<std::string>(viewer_headers.begin(), viewer_headers.end()));
    const std::vector<std::string> row = grid.row(1);
    ASSERT_EQ(row.size(), viewer_column_count);
    const std::vector<std::string> expected = {
        "1",    row[1], "S1",   "soil", "1",     "1000", "C1-C2", "12.5",
        "340",  "100",  "100",  "0.31", "0.013", "0.42", "0.024", "wipe test",
        "wipe", "1.25", "0.15", "3.4",  "0.25",  "0.02", "0.03",  "600",
        "2.5",  "Bq/g", "0.75", "0.5",  "0.2",   "0",    "1.25",  "activity_beta < MDA_beta"};
    EXPECT_EQ(row, expected);
    EXPECT_EQ(row[1].size(), 19u) << row[1];

    // SHOW without a filter lists the same rows.
    EXPECT_EQ(list_results(path, filtered_select({})), grid);
}

TEST_F(ViewerQuery, NothingFoundLeavesTheHeaderRowOnly) {
    store({{"S1"}});
    viewer_filter f;
    f.sample_id = "S2";
    const viewer_grid grid = list_results(path, filtered_select(f));
    ASSERT_EQ(grid.row_count(), 1u);
    EXPECT_EQ(grid.row_length(0), viewer_column_count);
}

TEST_F(ViewerQuery, DatesAreStrictBoundsOnTheTimeStampText) {
    store({{"day before", "2024-03-04 23:59:58"},
           {"midnight", "2024-03-05 00:00:00"},
           {"first second", "2024-03-05 00:00:01"},
           {"last but one", "2024-03-05 23:59:58"},
           {"last second", "2024-03-05 23:59:59"},
           {"day after", "2024-03-06 00:00:01"}});
    viewer_filter f;
    f.from_date = calendar_date{2024, 3, 5};
    f.to_date = calendar_date{2024, 3, 5};
    EXPECT_EQ(listed(f), (ids{"first second", "last but one"}));

    f.to_date.reset();
    EXPECT_EQ(listed(f), (ids{"day after", "first second", "last but one", "last second"}));
    f = {};
    f.to_date = calendar_date{2024, 3, 4};
    EXPECT_EQ(listed(f), (ids{"day before"}));
}

TEST_F(ViewerQuery, TextFiltersMatchExactlyWhileTheirListsOfferWhatBeginsSo) {
    store({{.sample_id = "ab", .mode = "R1,R2", .cal_name = "wipe A"},
           {.sample_id = "abc", .cal_name = "wipe B"},
           {.sample_id = "AB"},
           {.sample_id = "xab"},
           {.sample_id = "ab", .mode = "CAM"}});
    viewer_filter f;
    f.sample_id = "ab";
    EXPECT_EQ(listed(f), (ids{"ab", "ab"}));
    f.mode = "CAM";
    EXPECT_EQ(listed(f), (ids{"ab"}));
    f = {};
    f.cal_name = "wipe A";
    EXPECT_EQ(listed(f), (ids{"ab"}));

    EXPECT_EQ(offered(filter_list::sample, "ab"), (ids{"AB", "ab", "abc"}));
    EXPECT_EQ(offered(filter_list::sample, ""), (ids{"AB", "ab", "abc", "xab"}));
    EXPECT_EQ(offered(filter_list::sample, "_b"), (ids{"AB", "ab", "abc"}));
    EXPECT_EQ(offered(filter_list::mode, "r"), (ids{"R1,R2"}));
    EXPECT_EQ(offered(filter_list::cal_name, "wipe "), (ids{"wipe A", "wipe B"}));
}

TEST_F(ViewerQuery, OperatorTextsAreComparedAsTexts) {
    // A column name compares with the text, not with the column; quotes and SQL stay plain text.
    store({{.sample_id = "mode"}, {.sample_id = "C1-C2"}, {.sample_id = "a\"b"}, {.sample_id = "x' OR '1'='1"}});
    viewer_filter f;
    f.sample_id = "mode";
    EXPECT_EQ(listed(f), (ids{"mode"}));
    f.sample_id = "a\"b";
    EXPECT_EQ(listed(f), (ids{"a\"b"}));
    f.sample_id = "\" OR \"\"=\"";
    EXPECT_EQ(listed(f), ids{});
    EXPECT_EQ(offered(filter_list::sample, "a\""), (ids{"a\"b"}));
    EXPECT_EQ(offered(filter_list::sample, "x'"), (ids{"x' OR '1'='1"}));
}

TEST_F(ViewerQuery, ValueBoundsAreInclusiveAndNumeric) {
    store({{.sample_id = "two", .p1 = "2", .p2 = "50"},
           {.sample_id = "two and a half", .p1 = "2.5", .p2 = "5"},
           {.sample_id = "ten", .p1 = "10", .p2 = "500"},
           {.sample_id = "hundred", .p1 = "100", .p2 = "0.5"}});
    const struct {
        std::string from_1, to_1, from_2, to_2;
        ids expected;
    } cases[] = {
        {"2,5", "", "", "", {"hundred", "ten", "two and a half"}},
        {"", "10", "", "", {"ten", "two", "two and a half"}},
        {"2.5", "10", "", "", {"ten", "two and a half"}},
        {"", "", "5", "50", {"two", "two and a half"}},
        {"", "", "", "5", {"hundred", "two and a half"}},
        {"-2 cps", "1e1", "", "", {"ten", "two", "two and a half"}}, // "2" and "11"
        {"abc", " ", "", "", {"hundred", "ten", "two", "two and a half"}},
    };
    for (const auto& c : cases) {
        viewer_filter f;
        f.from_value_1 = c.from_1;
        f.to_value_1 = c.to_1;
        f.from_value_2 = c.from_2;
        f.to_value_2 = c.to_2;
        EXPECT_EQ(listed(f), c.expected) << c.from_1 << ".." << c.to_1 << " / " << c.from_2 << ".." << c.to_2;
    }
}

TEST_F(ViewerQuery, BoundBoxesAreCleanedForTheOperatorToSee) {
    viewer_filter f;
    f.from_value_1 = "-1,5.2e3";
    f.from_value_2 = "2,5";
    f.to_value_1 = " 7 ";
    f.to_value_2 = "-";
    clean_bounds(f);
    EXPECT_EQ(f.from_value_1, "1.523");
    EXPECT_EQ(f.from_value_2, "2.5");
    EXPECT_EQ(f.to_value_1, "7");
    EXPECT_EQ(f.to_value_2, "");
    const bound_statement s = filtered_select(f);
    EXPECT_EQ(s.sql.substr(s.sql.find("WHERE")), "WHERE 0=0  AND p1>=? AND p2>=? AND p1<=?");
    EXPECT_EQ(s.values, (ids{"1.523", "2.5", "7"}));

    // A box left with a lone "." names no number.
    f.to_value_2 = ",";
    clean_bounds(f);
    EXPECT_EQ(f.to_value_2, ".");
    try {
        filtered_select(f);
        FAIL() << "a lone point is no bound";
    } catch (const conversion_error& e) {
        EXPECT_STREQ(e.what(), "'.' is not a valid floating point value");
    }
}

TEST_F(ViewerQuery, TheHighVoltageListNarrowsTheListing) {
    store(
        {{.sample_id = "low", .hv = "900"}, {.sample_id = "high", .hv = "1200"}, {.sample_id = "other", .hv = "1000"}});
    viewer_filter f;
    f.hv = "1200";
    EXPECT_EQ(listed(f), (ids{"high"}));
    f.hv = "1200.0";
    EXPECT_EQ(listed(f), (ids{"high"}));
    EXPECT_EQ(offered(filter_list::hv, "1"), (ids{"1000", "1200"}));
    EXPECT_EQ(offered(filter_list::hv, ""), (ids{"1000", "1200", "900"}));
}

TEST_F(ViewerQuery, ATableWithOtherColumnsEndsTheListingWithTheDatabaseError) {
    {
        t_sqlite db(path);
        db.query("ALTER TABLE results RENAME COLUMN ts TO stamp");
    }
    try {
        list_results(path, base_select());
        FAIL() << "ts is missing";
    } catch (const ESQLiteException& e) {
        EXPECT_EQ(std::string(e.what()), "Error executing SQL : no such column: ts : \"" + base_select().sql + "\"");
    }
}
