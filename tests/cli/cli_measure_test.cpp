// "measure" in-process against a pty peer: what the operator's script sees when the run is cut short
// before it starts, when no instrument answers, when the line misbehaves, and when arguments are off.

#include "cli/cli.h"
#include "support/cli_in_process.h"
#include "support/pty_peer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>

using namespace xkv::cli;
using namespace xkv::test;

namespace {

class CliMeasure : public ::testing::Test {
protected:
    temp_dir dir;
    std::atomic<bool> interrupted{false};
    std::function<void(int)> wait = [](int) {};

    void SetUp() override {
        std::filesystem::create_directories(dir.file("ini"));
        write_file(dir.file("ini/calibrations.cfg"),
                   "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\ncaption=Soil\r\n"
                   "B=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=10\r\nbkgnd_corr=1\r\n");
    }

    void use_port(const std::string& port_line) {
        write_file(dir.file("ini/program_opt.xkv"), "[COM]\r\n" + port_line + "\r\ntimeout=20\r\n");
    }
    void use_peer(const pty_peer& peer) { use_port("port=1\r\n[PORTS]\r\nCOM1=" + peer.device()); }

    outcome run_cli(std::vector<std::string> args) {
        return run_cli_in(
            dir.path(), std::move(args), [this](int ms) { wait(ms); }, &interrupted);
    }

    std::vector<std::string> measure(std::vector<std::string> extra = {}) {
        std::vector<std::string> args{"measure", "--set", "Soil", "--sample", "S1", "--description", "d", "--save"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
};

} // namespace

TEST_F(CliMeasure, ARunCutShortOrWithoutInstrumentStoresNothingAndSaysWhy) {
    {
        SCOPED_TRACE("Ctrl-C during the settings wait cancels before START");
        pty_peer peer;
        peer.answer_handshake();
        use_peer(peer);
        wait = [this](int ms) { interrupted = interrupted || ms == 5000; };
        const outcome r = run_cli(measure());
        EXPECT_EQ(r.code, exit_run_failed) << r.err;
        EXPECT_NE(r.err.find("measurement cancelled"), std::string::npos) << r.err;
        EXPECT_EQ(peer.received().find("\nG\n"), std::string::npos) << "nothing was started";
        EXPECT_FALSE(std::filesystem::exists(dir.file("default_database.mdb"))) << "nothing was stored";
    }
    interrupted = false;
    {
        SCOPED_TRACE("no instrument: a port number with no device behind it");
        use_port("port=-2147483648");
        int waited_ms = 0; // today's endless count ends here after a minute of virtual time
        wait = [&](int ms) { interrupted = (waited_ms += ms) > 60000; };
        const outcome r = run_cli(measure());
        EXPECT_EQ(r.code, exit_no_instrument) << r.err;
        EXPECT_EQ(r.err, "ERROR OPEN COM PORT\n");
        EXPECT_EQ(run_cli({"test"}).out, "ERROR OPEN COM PORT\n");
    }
    {
        SCOPED_TRACE("a database SAVE could not write is found before anything is sent");
        pty_peer peer;
        peer.answer_handshake();
        const std::string database = dir.file("gone/results.mdb");
        write_file(dir.file("ini/program_opt.xkv"),
                   "[COM]\r\nport=1\r\n[PORTS]\r\nCOM1=" + peer.device() + "\r\n[DB]\r\ndatabase=" + database + "\r\n");
        const outcome r = run_cli(measure());
        EXPECT_EQ(r.code, exit_usage);
        EXPECT_EQ(r.err, "the folder \"" + dir.file("gone") + "\" does not exist: results cannot be saved to \"" +
                             database + "\", so nothing was started\n");
        EXPECT_EQ(peer.received(), "");
    }
}

TEST_F(CliMeasure, CtrlCOnALineThatNeverEndsItsReplyEndsTheRun) {
    pty_peer peer;
    peer.answer("tarvo", "DEBUGMODE\r\n", 50, 1);
    peer.stream("L", "1", 150);
    peer.stream("P", "1", 150);
    use_peer(peer);
    auto run = std::async(std::launch::async, [&] { return run_cli(measure({"--preset", "100"})); });
    // Interrupt once START has gone out and the first reply drips.
    EXPECT_TRUE(peer.wait_received("\nG\n", std::chrono::seconds(10))) << "START never went out";
    interrupted = true;
    if (run.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        peer.hang_up(); // ends the run, so a failure is reported rather than hung
        ADD_FAILURE() << "the run did not end";
    }
    const outcome r = run.get();
    EXPECT_EQ(r.code, exit_run_failed) << r.err;
    EXPECT_NE(r.err.find("ERROR IN COMUNICATION"), std::string::npos) << r.err;
}

TEST_F(CliMeasure, ArgumentsAreCheckedAsTheFilesAndTheCalendarHaveThem) {
    use_port("port=1\r\n[PORTS]\r\nCOM1=" + dir.file("no-such-port"));
    // The set matches without regard to case, as its section does; a negative count is refused.
    const outcome count = run_cli({"measure", "--set", "SOIL", "--sample", "S", "--description", "d", "--count", "-1"});
    EXPECT_EQ(count.code, exit_usage);
    EXPECT_EQ(count.err, "CAN NOT SET count to 0\n");
    const outcome date = run_cli({"list", "--from", "2024-02-31"});
    EXPECT_EQ(date.code, exit_usage);
    EXPECT_NE(date.err.find("--from takes a date as YYYY-MM-DD, not '2024-02-31'"), std::string::npos) << date.err;
    EXPECT_EQ(run_cli({"list", "--from", "2024-02-29"}).code, exit_ok);
}

TEST_F(CliMeasure, CtrlCStopsListingsAndExportsWithoutSayingFileSaved) {
    use_port("port=1");
    std::filesystem::create_directories(dir.file("templates"));
    write_file(dir.file("templates/report.tpl"), "{NUMBER}\n");
    interrupted = true;
    for (const char* command : {"export-csv", "export-xlsx", "export-xls", "report", "list"}) {
        SCOPED_TRACE(command);
        const std::string file = dir.file(std::string("out.") + command);
        const outcome r = std::string(command) == "list" ? run_cli({command}) : run_cli({command, file});
        EXPECT_EQ(r.code, exit_interrupted) << r.err;
        EXPECT_EQ(r.out.find("file saved!"), std::string::npos);
        EXPECT_NE(r.err.find("interrupted: "), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}
