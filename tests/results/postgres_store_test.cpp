// The results store on a real PostgreSQL server: a throwaway cluster per test.

#include "results/postgres_store.h"
#include "results/results_store.h"
#include "results/save_results.h"
#include "results/viewer_query.h"
#include "results_db.h"
#include "support/pg_cluster.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <mutex>
#include <regex>
#include <thread>

using namespace xkv;
using test::measured_row;

namespace {

struct PostgresStore : ::testing::Test {
    test::pg_cluster server;
    std::string uri;
    run_table table{};

    PostgresStore() {
        server.sql("CREATE DATABASE xkv");
        uri = server.uri("xkv");
    }
};

std::time_t utc_seconds(const std::string& stamp) {
    std::tm t{};
    strptime(stamp.c_str(), "%Y-%m-%d %H:%M:%S", &t);
    return timegm(&t);
}

TEST_F(PostgresStore, FirstUseCreatesTheTableAndIndexAndTheServerNumbersAndStampsInUtc) {
    // A server whose own clock setting is far from UTC still stamps the rows in UTC.
    server.sql("ALTER DATABASE xkv SET timezone TO 'Pacific/Auckland'");
    table[0] = measured_row("A");
    table[1] = measured_row("B");
    ASSERT_EQ(save_results(table, uri), save_outcome::saved);

    EXPECT_EQ(server.value(
                  "SELECT indexdef FROM pg_indexes WHERE tablename = 'results' AND indexname <> 'results_pkey'", "xkv"),
              "CREATE INDEX resultssampleid ON public.results USING btree (sample_id)");
    const viewer_grid grid = list_results(uri, base_select());
    ASSERT_EQ(grid.row_count(), 3u);
    EXPECT_EQ(grid.cell(1, 0), "1");
    EXPECT_EQ(grid.cell(2, 0), "2");
    EXPECT_EQ(grid.cell(2, 2), "B");
    const std::string stamp(grid.cell(1, 1));
    ASSERT_TRUE(std::regex_match(stamp, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << stamp;
    EXPECT_LT(std::abs(utc_seconds(stamp) - std::time(nullptr)), 300) << stamp;
}

TEST_F(PostgresStore, TwoStationsSavingAtOnceLoseAndDuplicateNothingAndListingsSeeWholeRuns) {
    constexpr int runs = 8, rows = 25;
    std::mutex guard;
    std::vector<std::string> errors;
    const auto note = [&](const std::string& e) {
        const std::lock_guard lock(guard);
        errors.push_back(e);
    };
    // Both start on an empty database: they race to create the tables too.
    const auto station = [&](const std::string& name) {
        try {
            for (int r = 0; r < runs; ++r) {
                run_table t{};
                for (int i = 0; i < rows; ++i) t[i] = measured_row(name + std::to_string(r));
                save_results(t, uri);
            }
        } catch (const std::exception& e) {
            note(e.what());
        }
    };
    std::atomic<bool> saving{true};
    std::thread reviewer([&] {
        try {
            while (saving) {
                const auto store = open_results_store(uri);
                const text_table partial = store->query(
                    "SELECT sample_id FROM results GROUP BY sample_id HAVING count(*) <> ?", {std::to_string(rows)});
                if (!partial.empty()) note("a listing saw part of run " + std::string(partial.cell(0, 0)));
            }
        } catch (const std::exception& e) {
            note(e.what());
        }
    });
    std::thread a(station, "A"), b(station, "B");
    a.join();
    b.join();
    saving = false;
    reviewer.join();
    EXPECT_TRUE(errors.empty()) << errors.front();
    EXPECT_EQ(server.value("SELECT count(DISTINCT id) FROM results", "xkv"), std::to_string(2 * runs * rows));
    EXPECT_EQ(server.value("SELECT count(*) FROM results", "xkv"), std::to_string(2 * runs * rows));
    EXPECT_EQ(server.value("SELECT count(*) FROM results r JOIN result_keys k ON k.result_id = r.id", "xkv"),
              std::to_string(2 * runs * rows));
}

} // namespace
