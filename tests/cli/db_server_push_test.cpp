// `db push` to a real PostgreSQL server, killed between the server's commit and the spool's
// clean-up and run again: every row reaches the server once.

#include "measurement/r_results.h"
#include "results/results_db.h"
#include "results/results_store.h"
#include "results/save_results.h"
#include "results/spool.h"
#include "results/sqlite_store.h"
#include "support/cli_process.h"
#include "support/pg_cluster.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

using namespace xkv;
using namespace xkv::test;

TEST(DbServerPush, APushKilledHalfWayAndRunAgainStoresEachRowOnceOnTheServer) {
    pg_cluster server;
    server.sql("CREATE DATABASE xkv");
    const std::string uri = server.uri("xkv");
    open_results_store(uri); // the table exists before the push, so it can be counted meanwhile
    temp_dir dir;
    std::filesystem::create_directories(dir.file("ini"));
    write_file(dir.file("ini/program_opt.xkv"), "[DB]\r\ndatabase=" + uri + "\r\nbusy_timeout=30000\r\n");
    const std::string spool = spool_path(dir.path());
    run_table table{};
    for (std::size_t i = 0; i < 3; ++i) {
        table[i] = measured_row("S1");
        table[i].series_number = std::to_string(i + 1);
    }
    spool_run(table, new_row_keys(table), spool);
    const auto rows_on_server = [&] { return std::stoi(server.value("SELECT count(*) FROM results", "xkv")); };

    {
        // The held spool stops the push after the server has committed, before the rows leave it.
        sqlite_store held(spool, 0);
        results_store::transaction hold(held);
        cli_process push(dir.path(), {"db", "push"});
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (rows_on_server() < 3 && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        push.kill(SIGKILL);
        EXPECT_EQ(push.finish().signal, SIGKILL);
    }
    ASSERT_EQ(rows_on_server(), 3);
    EXPECT_EQ(result_count(spool), 3);

    const cli_exit again = run_cli(dir.path(), {"db", "push"});
    EXPECT_EQ(again.exit_code, 0) << again.err;
    EXPECT_EQ(again.out, "0 rows stored in \"" + uri + "\"; 3 rows were there already\n");
    EXPECT_EQ(rows_on_server(), 3);
    EXPECT_EQ(server.value("SELECT string_agg(series_number::text, ',' ORDER BY id) FROM results", "xkv"), "1,2,3");
    EXPECT_EQ(result_count(spool), 0);
}
