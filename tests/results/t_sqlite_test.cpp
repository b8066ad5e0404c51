#include "results/t_sqlite.h"
#include "results_db.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <regex>

#include <sys/stat.h>
#include <unistd.h>

using namespace xkv;
using test::first_column;

namespace {

struct TSqlite : ::testing::Test {
    test::temp_dir dir;
    std::string path = dir.file("results.mdb");

    std::string error_of(const std::function<void()>& action) {
        try {
            action();
        } catch (const ESQLiteException& e) {
            return e.what();
        }
        return "(no error)";
    }
};

const char* const schema_as_created =
    "CREATE TABLE results ([id] INTEGER PRIMARY KEY,[ts] TIMESTAMP DEFAULT CURRENT_TIMESTAMP,"
    "[sample_id] VARCHAR (128),[description] VARCHAR (255),[series_number] INTEGER,[hv] INTEGER,"
    "[mode] VARCHAR (32),[p1] NUMERIC,[p2] NUMERIC,[time] INTEGER,[preset_time] INTEGER,"
    "[cal_l] VARCHAR (255),[cal_b] VARCHAR (255),[cal_l_act] VARCHAR (255),[cal_b_act] VARCHAR (255),"
    "[cal_text] VARCHAR (255),[cal_name] VARCHAR (255),[activity_l] VARCHAR (255),"
    "[u_activity_l] VARCHAR (255),[activity_b] VARCHAR (255),[u_activity_b] VARCHAR (255),"
    "[bck_l] VARCHAR (255),[bck_b] VARCHAR (255),[bck_time] VARCHAR (255),[quantity] NUMERIC,"
    "[units] VARCHAR (255),[MDA_a] NUMERIC,[MDA_b] NUMERIC,[koef_k] NUMERIC,[bgn_corr] INTEGER,"
    "[text_act_a] VARCHAR (255),[text_act_b] VARCHAR (255))";

} // namespace

TEST_F(TSqlite, FirstOpeningCreatesTableAndIndexOnce) {
    { t_sqlite db(path); }
    ASSERT_TRUE(std::filesystem::exists(path));
    const auto objects = [&] { return first_column(path, "SELECT type||' '||name||': '||sql FROM sqlite_master"); };
    EXPECT_EQ(objects(), (std::vector<std::string>{
                             std::string("table results: ") + schema_as_created,
                             "index resultssampleid: CREATE INDEX resultssampleid ON [results]([sample_id])"}));

    // A row written in between survives every later opening.
    {
        t_sqlite db(path);
        db.query("INSERT INTO results (sample_id) VALUES ('kept')");
    }
    { t_sqlite db(path); }
    EXPECT_EQ(objects().size(), 2u);
    EXPECT_EQ(first_column(path, "SELECT sample_id FROM results"), std::vector<std::string>{"kept"});
}

TEST_F(TSqlite, ATableResultsInAnyLetterCaseIsTakenAsItIs) {
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE Results (a TEXT); INSERT INTO Results VALUES ('old')", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);

    { t_sqlite db(path); }
    EXPECT_EQ(first_column(path, "SELECT name FROM sqlite_master"), std::vector<std::string>{"Results"});
    EXPECT_EQ(first_column(path, "SELECT a FROM results"), std::vector<std::string>{"old"});
}

TEST_F(TSqlite, ValuesReadBackByTheirColumnsDeclaredTypes) {
    t_sqlite db(path);
    db.query("INSERT INTO results (id,sample_id,description,hv,p1,p2,quantity,koef_k) VALUES "
             "(7,'s',NULL,12.7,12,1.5,NULL,1e20)");
    db.query("INSERT INTO results (id,sample_id,hv,p1,MDA_a,MDA_b) VALUES (8,'t','','1000 V',1.0/3,0.000001)");
    db.query("SELECT id,description,hv,p1,p2,quantity,koef_k,MDA_a,MDA_b,ts FROM results ORDER BY id");
    ASSERT_EQ(db.row_count(), 2);
    ASSERT_EQ(db.col_count(), 10);

    EXPECT_EQ(db.cell(1, 1), "7");
    EXPECT_EQ(db.cell(1, 2), "");   // NULL text
    EXPECT_EQ(db.cell(1, 3), "12"); // a real in an INTEGER column reads as an integer
    EXPECT_EQ(db.cell(1, 4), "12");
    EXPECT_EQ(db.cell(1, 5), "1.5");
    EXPECT_EQ(db.cell(1, 6), "0"); // NULL number
    EXPECT_EQ(db.cell(1, 7), "1E20");
    EXPECT_EQ(db.cell(1, 8), "0");
    EXPECT_TRUE(std::regex_match(std::string(db.cell(1, 10)), std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
        << db.cell(1, 10);

    // A text that is no number stays text in a numeric column and reads as kept, not as 0.
    EXPECT_EQ(db.cell(2, 3), "");
    EXPECT_EQ(db.cell(2, 4), "1000 V");
    EXPECT_EQ(db.cell(2, 8), "0.333333333333333");
    EXPECT_EQ(db.cell(2, 9), "1E-6");

    // Outside the answer, and row 0 / column 0, every cell is empty.
    EXPECT_EQ(db.cell(0, 1), "");
    EXPECT_EQ(db.cell(1, 0), "");
    EXPECT_EQ(db.cell(3, 1), "");
    EXPECT_EQ(db.cell(1, 11), "");
}

TEST_F(TSqlite, DeclaredTypesChooseTheConversionByExactName) {
    t_sqlite db(path);
    db.query("CREATE TABLE t (a BOOLEAN, b REAL, c FLOAT, d DOUBLE, e BLOB, f numeric, g Boolean, h TIMESTAMP)");
    db.query("INSERT INTO t VALUES (2.9, 1e20, 2.5, 0.1, x'410042', 1e20, 2.9, 1e20)");
    db.query("SELECT a,b,c,d,e,f,g,h, 1+1, 5.0/2, 'x'||'y', NULL, x'4243' FROM t");
    const std::vector<std::string> expected = {
        "2",       "1E20", "2.5",     "0.1", std::string("A\0B", 3),
        "1.0e+20", "2.9",  "1.0e+20",               // other spellings and types: SQLite's own text
        "2",       "2.5",  "xy",      "",    "BC"}; // computed columns: by the first row's storage class
    ASSERT_EQ(db.col_count(), static_cast<int>(expected.size()));
    for (int c = 1; c <= db.col_count(); ++c) EXPECT_EQ(db.cell(1, c), expected[c - 1]) << "column " << c;
}

TEST_F(TSqlite, FloatingTextsDoNotFollowACommaLocale) {
    test::comma_locale comma;
    t_sqlite db(path);
    db.query("INSERT INTO results (p1) VALUES (12.25)");
    db.query("SELECT p1 FROM results");
    EXPECT_EQ(db.cell(1, 1), "12.25");
}

TEST_F(TSqlite, EachQueryReplacesTheAnswer) {
    t_sqlite db(path);
    db.query("INSERT INTO results (sample_id) VALUES ('a'),('b')");
    EXPECT_EQ(db.row_count(), 0);
    EXPECT_EQ(db.col_count(), 0);

    db.query("SELECT id,sample_id FROM results ORDER BY id");
    EXPECT_EQ(db.row_count(), 2);
    db.query("SELECT sample_id FROM results WHERE sample_id='b'");
    EXPECT_EQ(db.row_count(), 1);
    EXPECT_EQ(db.col_count(), 1);
    EXPECT_EQ(db.cell(1, 1), "b");
    EXPECT_EQ(db.cell(2, 1), "");
    EXPECT_EQ(db.cell(1, 2), "");

    db.query("SELECT sample_id FROM results WHERE sample_id='none'");
    EXPECT_EQ(db.row_count(), 0);
    EXPECT_EQ(db.col_count(), 0);

    // A failing query keeps the answer before it.
    db.query("SELECT sample_id FROM results WHERE sample_id='a'");
    EXPECT_THROW(db.query("SELECT nothing FROM results"), ESQLiteException);
    EXPECT_EQ(db.row_count(), 1);
    EXPECT_EQ(db.cell(1, 1), "a");
}

TEST_F(TSqlite, RowsAddedToATableGoAgainWhenTheQueryFailsPartWay) {
    t_sqlite db(path);
    text_table rows{{"header", "row"}};
    db.query_into(rows, "SELECT ?, 2", {"one"});
    EXPECT_EQ(rows, (text_table{{"header", "row"}, {"one", "2"}}));

    // The fourth row overflows: three rows were added before the error.
    const char* const failing = "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM n WHERE x<5) "
                                "SELECT CASE WHEN x>3 THEN abs(-9223372036854775807-1) ELSE x END FROM n";
    EXPECT_THROW(db.query_into(rows, failing), ESQLiteException);
    EXPECT_EQ(rows, (text_table{{"header", "row"}, {"one", "2"}}));
}

TEST_F(TSqlite, OnlyTheFirstStatementOfATextRuns) {
    t_sqlite db(path);
    db.query("INSERT INTO results (sample_id) VALUES ('one'); INSERT INTO results (sample_id) VALUES ('two')");
    EXPECT_EQ(first_column(path, "SELECT sample_id FROM results"), std::vector<std::string>{"one"});
}

TEST_F(TSqlite, StatementErrorsCarryTheirTexts) {
    t_sqlite db(path);
    const std::string duplicate = "INSERT INTO results (id) VALUES (1)";
    db.query(duplicate);
    const struct {
        std::function<void()> action;
        std::string text;
    } cases[] = {
        {[&] { db.query("SELEC id FROM results"); },
         "Error executing SQL : near \"SELEC\": syntax error : \"SELEC id FROM results\""},
        {[&] { db.query(""); }, "Could not prepare SQL statement"},
        {[&] { db.query("  -- only a comment"); }, "Could not prepare SQL statement"},
        {[&] { db.query(duplicate); },
         "Could not retrieve data : UNIQUE constraint failed: results.id : \"" + duplicate + "\""},
        {[&] { db.execute(duplicate); },
         "Error executing SQL statement : UNIQUE constraint failed: results.id : \"" + duplicate + "\""},
    };
    for (const auto& c : cases) EXPECT_EQ(error_of(c.action), c.text);
}

TEST_F(TSqlite, OpeningErrorsLeaveFilesAsTheyWere) {
    const std::string missing_folder = dir.file("no/such/folder/results.mdb");
    EXPECT_EQ(error_of([&] { t_sqlite db(missing_folder); }),
              "Failed to open database \"" + missing_folder + "\" : unable to open database file");
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));

    const std::string text_file = dir.file("notes.mdb");
    const std::string notes(4096, 'n');
    test::write_file(text_file, notes);
    const std::string error = error_of([&] { t_sqlite db(text_file); });
    EXPECT_EQ(error.rfind("Error executing SQL", 0), 0u) << error;
    EXPECT_NE(error.find("file is not a database"), std::string::npos) << error;
    EXPECT_EQ(test::read_file(text_file), notes);
}

TEST_F(TSqlite, AReadOnlyDatabaseIsListedButTakesNoRow) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files all the same";
    {
        t_sqlite db(path);
        db.query("INSERT INTO results (sample_id) VALUES ('kept')");
    }
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    t_sqlite db(path);
    db.query("SELECT sample_id FROM results");
    EXPECT_EQ(db.cell(1, 1), "kept");
    const std::string insert = "INSERT INTO results (sample_id) VALUES ('new')";
    EXPECT_EQ(error_of([&] { db.query(insert); }),
              "Could not retrieve data : attempt to write a readonly database : \"" + insert + "\"");
}

TEST_F(TSqlite, ABusyDatabaseEndsTheQuery) {
    t_sqlite reader(path, 0);
    t_sqlite writer(path);
    writer.execute("BEGIN EXCLUSIVE");
    writer.query("INSERT INTO results (sample_id) VALUES ('pending')");
    EXPECT_EQ(error_of([&] { reader.query("SELECT sample_id FROM results"); }), "Could not prepare SQL statement");
    EXPECT_EQ(error_of([&] { t_sqlite late(path, 0); }),
              "Error executing SQL : database is locked : \"PRAGMA SYNCHRONOUS=NORMAL;\"");
    writer.execute("ROLLBACK");
    reader.query("SELECT sample_id FROM results");
    EXPECT_EQ(reader.row_count(), 0);
}

TEST_F(TSqlite, MessagesNameTheOperatorsStatementWithItsValues) {
    {
        SCOPED_TRACE("a new database another program holds locked");
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
        EXPECT_EQ(error_of([&] { t_sqlite db(path, 0); }),
                  std::string("Error executing SQL statement : database is locked : \"") + results_create_table + "\"");
        sqlite3_close(other);
    }
    {
        SCOPED_TRACE("bound values in their places, a quoted \"?\" left alone");
        t_sqlite db(path);
        db.query("CREATE TRIGGER refuse BEFORE INSERT ON results BEGIN SELECT RAISE(ABORT,'refused'); END");
        EXPECT_EQ(
            error_of([&] { db.query("INSERT INTO results (sample_id, units) VALUES (?, '?')", {"it's"}); }),
            "Could not retrieve data : refused : \"INSERT INTO results (sample_id, units) VALUES ('it''s', '?')\"");
    }
}
