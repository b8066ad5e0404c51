// A server that is down, goes away in the middle of a SAVE, or stops answering: a clear message,
// a bounded wait, and nothing half-written.

#include "results/results_store.h"
#include "results/row_keys.h"
#include "results/save_results.h"
#include "results/viewer_query.h"
#include "results_db.h"
#include "support/pg_cluster.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace xkv;
using test::measured_row;
using ::testing::HasSubstr;

namespace {

struct PostgresFaults : ::testing::Test {
    test::pg_cluster server;
    std::string uri;
    run_table table{};

    PostgresFaults() {
        server.sql("CREATE DATABASE xkv");
        uri = server.uri("xkv");
        for (int i = 0; i < 3; ++i) table[i] = measured_row("S" + std::to_string(i));
    }

    std::string saved_count() { return server.value("SELECT count(*) FROM results", "xkv"); }

    // SAVE through a store that gives a silent server `timeout_s`, with a hook after each row.
    std::string save_error(int timeout_s, const save_hook& hook) {
        try {
            const auto store = open_results_store(uri, {.server_timeout_s = timeout_s});
            save_results(table, *store, new_row_keys(table), {hook});
        } catch (const ESQLiteException& e) {
            return e.what();
        }
        return "saved";
    }
};

TEST_F(PostgresFaults, AServerThatIsDownIsNamedInTheMessage) {
    server.stop();
    try {
        save_results(table, uri);
        FAIL() << "saved to a stopped server";
    } catch (const ESQLiteException& e) {
        EXPECT_THAT(e.what(), HasSubstr("Failed to open database \"" + uri + "\" : "));
        EXPECT_THAT(e.what(), HasSubstr("Connection refused"));
    }
}

TEST_F(PostgresFaults, AServerStoppedDuringSaveLeavesNoRowAndSaveWorksAgainAfter) {
    save_results(table, uri); // the tables exist; three rows
    const std::string message = save_error(8, [this](results_store&, const saved_row& row) {
        if (row.slot == 1) server.stop();
    });
    EXPECT_THAT(message, HasSubstr("server closed the connection unexpectedly"));
    server.start();
    EXPECT_EQ(saved_count(), "3");
    EXPECT_EQ(server.value("SELECT count(*) FROM result_keys", "xkv"), "3");
    save_results(table, uri);
    EXPECT_EQ(saved_count(), "6");
}

TEST_F(PostgresFaults, AServerThatStopsAnsweringIsGivenUpAndItsRowsUndone) {
    save_results(table, uri);
    const std::string message = save_error(2, [this](results_store&, const saved_row& row) {
        if (row.slot == 1) server.freeze(true);
    });
    EXPECT_THAT(message, HasSubstr("did not answer within 2 s"));
    EXPECT_THAT(message, HasSubstr(uri));
    server.freeze(false);
    EXPECT_EQ(saved_count(), "3");
}

TEST_F(PostgresFaults, AServerThatAcceptsNoConnectionIsGivenUp) {
    server.freeze(true);
    try {
        open_results_store(uri, {.server_timeout_s = 2});
        FAIL() << "opened a frozen server";
    } catch (const ESQLiteException& e) {
        EXPECT_THAT(e.what(), HasSubstr("Failed to open database \"" + uri + "\" : "));
        EXPECT_THAT(e.what(), HasSubstr("timeout"));
    }
}

} // namespace
