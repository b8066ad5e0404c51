#include "results/results_store.h"
#include "results/save_results.h"
#include "results/store_writable.h"
#include "results/t_sqlite.h"
#include "results_db.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace xkv;
using test::first_column;
using test::measured_row;
using test::result_count;

namespace {

struct SaveResults : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("results.mdb");
    run_table table{};
};

const char* const every_column_quoted =
    "SELECT quote(sample_id),quote(description),quote(series_number),quote(hv),quote(mode),quote(p1),quote(p2),"
    "quote(time),quote(preset_time),quote(cal_l),quote(cal_b),quote(cal_l_act),quote(cal_b_act),quote(cal_text),"
    "quote(cal_name),quote(activity_l),quote(activity_b),quote(u_activity_l),quote(u_activity_b),quote(bck_l),"
    "quote(bck_b),quote(bck_time),quote(quantity),quote(units),quote(MDA_a),quote(MDA_b),quote(koef_k),"
    "quote(bgn_corr),quote(text_act_a),quote(text_act_b) FROM results ORDER BY id";

std::vector<std::vector<std::string>> stored(const std::string& path) {
    t_sqlite db(path);
    db.query(every_column_quoted);
    const text_table answer = db.take_rows();
    std::vector<std::vector<std::string>> rows;
    for (std::size_t r = 0; r < answer.row_count(); ++r) rows.push_back(answer.row(r));
    return rows;
}

// The row as a text statement with texts in double quotes and numbers bare, the way the values
// would read if they were written into the SQL itself: the reference for what gets stored.
std::string literal_insert(const _r_results& row) {
    const std::vector<std::string> values = insert_values(row);
    const std::vector<bool> bare = {false, false, true,  true,  false, true,  true,  true,  true,  false,
                                    false, false, false, false, false, false, false, false, false, false,
                                    false, false, true,  false, true,  true,  true,  true,  false, false};
    const std::string insert = results_insert;
    std::string sql = insert.substr(0, insert.find("values (") + 8);
    for (std::size_t i = 0; i < values.size(); ++i)
        sql += (i ? "," : "") + (bare[i] ? values[i] : "\"" + values[i] + "\"");
    return sql + ")";
}

// The statement as an error message shows it: each bound value quoted in its place.
std::string shown_insert(const _r_results& row) {
    const std::string insert = results_insert;
    std::string sql = insert.substr(0, insert.find("values (") + 8);
    const std::vector<std::string> values = insert_values(row);
    for (std::size_t i = 0; i < values.size(); ++i) sql += (i ? ",'" : "'") + values[i] + "'";
    return sql + ")";
}

} // namespace

TEST_F(SaveResults, AnEmptyTableSavesNothingAndOpensNoFile) {
    EXPECT_EQ(save_results(table, path), save_outcome::no_data);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SaveResults, EveryFieldLandsInItsColumn) {
    table[0] = measured_row("S1");
    ASSERT_EQ(save_results(table, path), save_outcome::saved);
    const std::vector<std::string> expected = {
        "'S1'",    "'soil'",      "1",      "1000",   "'C1-C2'", "12.5",
        "340",     "100",         "100",    "'0.31'", "'0.42'",  "'0.013'",
        "'0.024'", "'wipe test'", "'wipe'", "'1.25'", "'3.4'",   "'0.15'",
        "'0.25'",  "'0.02'",      "'0.03'", "'600'",  "2.5",     "'Bq/g'",
        "0.75",    "0.5",         "0.2",    "1",      "'1.25'",  "'activity_beta < MDA_beta'"};
    EXPECT_EQ(stored(path), std::vector<std::vector<std::string>>{expected});
    EXPECT_EQ(first_column(path, "SELECT id||' '||(ts IS NOT NULL) FROM results"), std::vector<std::string>{"1 1"});
}

TEST_F(SaveResults, BackgroundCorrectionOffStoresZeroAndTheBackgroundTexts) {
    table[0] = measured_row("S1");
    table[0].calibration.background_correction = false;
    table[0].background = {"0.01", "0.01", "1000"};
    save_results(table, path);
    EXPECT_EQ(first_column(path, "SELECT quote(bgn_corr)||quote(bck_l)||quote(bck_b)||quote(bck_time) FROM results"),
              std::vector<std::string>{"0'0.01''0.01''1000'"});
}

TEST_F(SaveResults, NumbersAreStoredAsTheWrittenOutValuesWouldBe) {
    // Each text in every field: bound, it must give the value and storage class that the same
    // text written into the statement gives.
    const char* texts[] = {"1000",
                           "12.5",
                           "007",
                           "1e3",
                           "1.0",
                           "-5",
                           "+5",
                           " 12 ",
                           "12.",
                           ".5",
                           "2.50",
                           "99999999999999999999",
                           "0",
                           "1E-7",
                           "1e400",
                           "9223372036854775807",
                           "-9223372036854775808"};
    for (const char* text : texts) {
        _r_results row;
        row.sample_id = row.description = row.series_number = row.hv = row.mode = row.p1 = row.p2 = row.time =
            row.preset_time = row.quantity = row.units = row.MDA_a = row.MDA_b = row.koef_k = text;
        const std::string reference = dir.file(std::string("reference.mdb"));
        std::filesystem::remove(reference);
        std::filesystem::remove(path);
        {
            t_sqlite db(reference);
            db.query(literal_insert(row));
        }
        table[0] = row;
        save_results(table, path);
        EXPECT_EQ(stored(path), stored(reference)) << "text: [" << text << "]";
    }
}

TEST_F(SaveResults, ACommaInAChannelValueIsTheDecimalSeparator) {
    table[0] = measured_row("S1");
    table[0].p1 = "12,5";
    save_results(table, path);
    EXPECT_EQ(first_column(path, "SELECT typeof(p1)||' '||p1 FROM results"), std::vector<std::string>{"real 12.5"});
}

TEST_F(SaveResults, DoubleQuotesAreStoredIntact) {
    table[0] = measured_row("12\" pipe");
    table[0].description = "the \"old\" well";
    table[0].calibration.name = "\"";
    save_results(table, path);
    EXPECT_EQ(first_column(path, "SELECT sample_id||'|'||description||'|'||cal_name FROM results"),
              std::vector<std::string>{"12\" pipe|the \"old\" well|\""});
}

TEST_F(SaveResults, ATextThatIsNoNumberIsKeptInItsNumericColumn) {
    table[0] = measured_row("S1");
    table[0].hv = "";
    table[0].time = "n/a";
    table[0].quantity = "1,5 g";
    ASSERT_EQ(save_results(table, path), save_outcome::saved);
    EXPECT_EQ(first_column(path, "SELECT quote(hv)||quote(time)||quote(quantity)||quote(p1) FROM results"),
              std::vector<std::string>{"'''n/a''1,5 g'12.5"});
}

TEST_F(SaveResults, EveryFilledSlotIsSavedInOrder) {
    for (std::size_t i = 0; i < 3; ++i) table[i] = measured_row("S" + std::to_string(i));
    table[4] = measured_row("after the end mark");
    save_results(table, path);
    EXPECT_EQ(first_column(path, "SELECT sample_id FROM results ORDER BY id"),
              (std::vector<std::string>{"S0", "S1", "S2"}));

    // A table filled to its last slot is saved whole, and not beyond.
    std::filesystem::remove(path);
    for (auto& slot : table) slot = measured_row("full");
    save_results(table, path);
    EXPECT_EQ(result_count(path), static_cast<int>(run_table_size));
}

TEST_F(SaveResults, AFailedSaveWritesNothingAndCanBeRepeated) {
    for (std::size_t i = 0; i < 3; ++i) table[i] = measured_row("S" + std::to_string(i));
    {
        t_sqlite db(path);
        db.query("CREATE TRIGGER refuse BEFORE INSERT ON results WHEN NEW.sample_id='S2' "
                 "BEGIN SELECT RAISE(ABORT,'refused'); END");
    }
    try {
        save_results(table, path);
        FAIL() << "the third row must be refused";
    } catch (const ESQLiteException& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("Could not retrieve data : refused : \"INSERT INTO results (sample_id,", 0), 0u) << text;
        EXPECT_NE(text.find("values ('S2',"), std::string::npos) << text;
    }
    EXPECT_EQ(result_count(path), 0);

    {
        t_sqlite db(path);
        db.query("DROP TRIGGER refuse");
    }
    save_results(table, path);
    EXPECT_EQ(result_count(path), 3);
}

TEST_F(SaveResults, ALockedDatabaseIsLeftAsItWas) {
    table[0] = measured_row("S1");
    t_sqlite other(path);
    {
        t_sqlite::transaction writing(other);
        other.query("INSERT INTO results (sample_id) VALUES ('other')");
        try {
            // A short wait for the other program: the test needs the error, not the patience.
            const auto store = open_results_store(path, {.busy_timeout_ms = 50});
            save_results(table, *store, new_row_keys(table));
            FAIL() << "the database is locked";
        } catch (const ESQLiteException& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Error executing SQL statement : database is locked : \"BEGIN IMMEDIATE\"");
        }
    }
    EXPECT_EQ(result_count(path), 0);
    save_results(table, path);
    EXPECT_EQ(result_count(path), 1);
}

TEST_F(SaveResults, AReadOnlyDatabaseTakesNoRow) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files all the same";
    table[0] = measured_row("S1");
    table[1] = measured_row("S2");
    save_results(table, path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    try {
        save_results(table, path);
        FAIL() << "the file is read-only";
    } catch (const ESQLiteException& e) {
        EXPECT_EQ(std::string(e.what()), "Could not retrieve data : attempt to write a readonly database : \"" +
                                             shown_insert(table[0]) + "\"");
    }
    EXPECT_EQ(result_count(path), 2);
}

TEST_F(SaveResults, AStoreThatCannotBeWrittenIsFoundBeforeTheCountReadOnlyFilesToo) {
    EXPECT_EQ(store_write_problem(path), ""); // a new file in a writable folder
    EXPECT_EQ(store_write_problem(dir.file("gone/results.mdb")),
              "the folder \"" + dir.file("gone") + "\" does not exist");
    EXPECT_EQ(store_write_problem(dir.path()), "\"" + dir.path() + "\" is no regular file");
    EXPECT_EQ(store_write_problem("postgresql://lab@server/results"), ""); // its faults show at SAVE
    EXPECT_EQ(store_not_writable_message("the file is read-only: Permission denied", path),
              "the file is read-only: Permission denied: results cannot be saved to \"" + path +
                  "\", so nothing was started");
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files and folders all the same";
    table[0] = measured_row("S1");
    save_results(table, path);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    EXPECT_EQ(store_write_problem(path), "the file is read-only: Permission denied");
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0); // no journal can be made beside the file
    EXPECT_EQ(store_write_problem(path), "the folder \"" + dir.path() + "\" takes no new file: Permission denied");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
}

TEST_F(SaveResults, ATableResultsWithOtherColumnsTakesNoRow) {
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE results (a TEXT)", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(handle);
    table[0] = measured_row("S1");
    try {
        save_results(table, path);
        FAIL() << "the table has no such columns";
    } catch (const ESQLiteException& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string("Error executing SQL : table results has no column named sample_id : \"") +
                      results_insert + "\"");
    }
    EXPECT_EQ(first_column(path, "SELECT count(*) FROM results"), std::vector<std::string>{"0"});
}

TEST_F(SaveResults, AFileHeldByAnotherProgramForAMomentIsWaitedFor) {
    table[0] = measured_row("S1");
    t_sqlite other(path);
    auto writing = std::make_unique<t_sqlite::transaction>(other);
    other.query("INSERT INTO results (sample_id) VALUES ('other')");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        writing->commit();
    });
    EXPECT_EQ(save_results(table, path), save_outcome::saved);
    release.join();
    EXPECT_EQ(result_count(path), 2);
}

TEST_F(SaveResults, HooksSeeEachRowsIdInsideTheTransactionAndARowKeyIsNeverSavedTwice) {
    for (std::size_t i = 0; i < 3; ++i) table[i] = measured_row("S" + std::to_string(i));
    const side_table marks{"marks", {"CREATE TABLE marks (result_id INTEGER PRIMARY KEY, slot TEXT)"}, {}};
    const auto store = open_results_store(path);
    const std::vector<std::string> keys = new_row_keys(table);
    const save_hook mark = [&](results_store& s, const saved_row& row) {
        s.create_when_absent(marks);
        if (row.slot == 2 && row.row.description == "refuse") throw std::runtime_error("hook refused");
        s.execute("INSERT INTO marks (result_id, slot) VALUES (?, ?)",
                  {std::to_string(row.id), std::to_string(row.slot)});
    };
    table[2].description = "refuse";
    EXPECT_THROW(save_results(table, *store, keys, {mark}), std::runtime_error);
    EXPECT_EQ(result_count(path), 0);
    EXPECT_FALSE(store->has_table("marks"));

    table[2].description = "soil";
    save_results(table, *store, keys, {mark});
    save_results(table, *store, keys, {mark}); // the same rows again: nothing twice
    EXPECT_EQ(first_column(path,
                           "SELECT r.sample_id || ':' || m.slot FROM results r JOIN marks m ON m.result_id = r.id "
                           "JOIN result_keys k ON k.result_id = r.id ORDER BY r.id"),
              (std::vector<std::string>{"S0:0", "S1:1", "S2:2"}));
}
