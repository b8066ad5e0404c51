// "measure --save" against a store that cannot take the run: the rows wait in the station's spool
// (exit 6) and `db push` stores them later; two stations saving to one file at the same moment
// both get their runs stored. In-process CLI runs against the simulator, real database files, and
// a second process that holds the file.

#include "cli/cli.h"
#include "results/results_db.h"
#include "support/cli_in_process.h"
#include "support/held_database.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

using namespace xkv::cli;
using namespace xkv::test;

namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// One counting station: its program directory, the simulator on COM1, and the database it saves to.
class station {
public:
    explicit station(const std::string& database, const std::string& busy_timeout_ms = "") : sim_({"--speed", "50"}) {
        std::filesystem::create_directories(dir_.file("ini"));
        write_file(dir_.file("ini/calibrations.cfg"),
                   "[soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\ncaption=Soil\r\n"
                   "B=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=2\r\nbkgnd_corr=1\r\n");
        use_database(database, busy_timeout_ms);
    }

    void use_database(const std::string& database, const std::string& busy_timeout_ms = "") {
        std::string options = "[COM]\r\nport=1\r\ntimeout=20\r\n[PORTS]\r\nCOM1=" + sim_.link_path() +
                              "\r\n[DB]\r\ndatabase=" + database + "\r\n";
        if (!busy_timeout_ms.empty()) options += "busy_timeout=" + busy_timeout_ms + "\r\n";
        write_file(dir_.file("ini/program_opt.xkv"), options);
    }

    // The CLI in this process, its waits skipped (the simulator's speed keeps the counts real);
    // stdout goes to a file, which another thread may watch.
    outcome cli(std::vector<std::string> args) {
        args.insert(args.begin(), {"--dir", dir_.path()});
        std::ofstream out(out_file(), std::ios::trunc);
        std::ostringstream err;
        const environment env{dir_.path(), [](int) {}, nullptr, {}};
        const int code = run(args, out, err, env);
        out.close();
        return {code, read_file(out_file()), err.str()};
    }
    outcome measure(const std::string& sample) {
        return cli({"measure", "--set", "soil", "--sample", sample, "--description", "d", "--save"});
    }

    std::string out_file() const { return dir_.file("cli.out"); }
    std::string spool() const { return dir_.file("results_spool.mdb"); }

private:
    temp_dir dir_;
    sim_process sim_;
};

} // namespace

TEST(DbSpool, ARunTheStoreCannotTakeWaitsInTheSpoolAndThePushStoresIt) {
    temp_dir data;
    const std::string not_a_database = data.file("notes.mdb");
    write_file(not_a_database, std::string(4096, 'x'));
    const std::string locked = data.file("locked.mdb");
    const std::string good = data.file("results.mdb");
    held_database holder(locked); // for longer than the station waits
    const struct {
        std::string database, reason;
    } faults[] = {
        // (a missing folder or a read-only file is refused before the count: nothing to spool)
        {not_a_database, "file is not a database"},
        {locked, "database is locked"},
    };
    std::size_t spooled = 0;
    for (const auto& fault : faults) {
        SCOPED_TRACE(fault.database);
        station s(fault.database, "200");
        const outcome r = s.measure("S" + std::to_string(++spooled));
        EXPECT_EQ(r.code, exit_spooled) << r.err;
        EXPECT_EQ(lines_of(r.out).size(), 2u) << "the rows are still printed";
        const auto err = lines_of(r.err);
        ASSERT_GE(err.size(), 2u) << r.err;
        EXPECT_NE(err[err.size() - 2].find(fault.reason), std::string::npos) << "the reason first: " << r.err;
        EXPECT_EQ(err.back(), "the run (1 row) was not saved to \"" + fault.database +
                                  "\" and is kept in the spool \"" + s.spool() +
                                  "\"; \"xkv4410-cli db push\" stores it there");
        EXPECT_EQ(s.cli({"db", "status"}).out,
                  "store\tSQLite file " + fault.database + "\nspool\t" + s.spool() + "\nspooled rows\t1\n");

        const outcome failed = s.cli({"db", "push"});
        EXPECT_EQ(failed.code, exit_error);
        EXPECT_NE(failed.err.find("1 row stays in the spool \"" + s.spool() + "\""), std::string::npos) << failed.err;

        // Pointed at a store that works, the station's push brings the run there once.
        s.use_database(good);
        const outcome pushed = s.cli({"db", "push"});
        EXPECT_EQ(pushed.code, exit_ok) << pushed.err;
        EXPECT_EQ(pushed.out, "1 row stored in \"" + good + "\"\n");
        EXPECT_EQ(s.cli({"db", "push"}).out, "no rows wait in the spool\n");
        EXPECT_EQ(first_column(s.spool(), "SELECT count(*) FROM qc_marks"), std::vector<std::string>{"0"})
            << "a mark leaves the spool with its row";
    }
    EXPECT_EQ(first_column(good, "SELECT sample_id||' '||p1||' '||p2 FROM results ORDER BY id"),
              (std::vector<std::string>{"S1 5 20", "S2 5 20"}));
    // The store's QC records could not be read at SAVE: each row reached the store with that mark,
    // under its new id.
    EXPECT_EQ(first_column(good, "SELECT r.sample_id||' '||substr(m.mark, 1, 17) FROM results r "
                                 "JOIN qc_marks m ON m.result_id = r.id ORDER BY r.id"),
              (std::vector<std::string>{"S1 QC state unknown:", "S2 QC state unknown:"}));
}

TEST(DbSpool, TwoStationsSavingToOneFileAtTheSameMomentBothStoreTheirRuns) {
    temp_dir data;
    const std::string database = data.file("shared.mdb");
    station first(database), second(database);
    auto holder = std::make_unique<held_database>(database);
    auto a = std::async(std::launch::async, [&] { return first.measure("A"); });
    auto b = std::async(std::launch::async, [&] { return second.measure("B"); });
    // Both have counted and printed their rows: each is now saving into the held file.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((lines_of(read_file(first.out_file())).size() < 2 || lines_of(read_file(second.out_file())).size() < 2) &&
           std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    holder.reset();
    const outcome ra = a.get(), rb = b.get();
    EXPECT_EQ(ra.code, exit_ok) << ra.err;
    EXPECT_EQ(rb.code, exit_ok) << rb.err;
    EXPECT_EQ(first_column(database, "SELECT sample_id FROM results ORDER BY sample_id"),
              (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(std::filesystem::exists(first.spool()));
    EXPECT_FALSE(std::filesystem::exists(second.spool()));
}
