// The CLI binary against the simulated instrument on a pty, a real database file and a loopback
// HTTP server: the whole job without a window.

#include "support/http_server.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "support/tsv_cells.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace xkv::test;

namespace {

struct cli_result {
    int exit_code = -1;
    std::string out, err;
};

// A program directory with a parameter set and COM1 mapped to the simulator.
class CliEndToEnd : public ::testing::Test {
protected:
    temp_dir dir;

    void SetUp() override {
        std::filesystem::create_directories(dir.file("ini"));
        std::filesystem::create_directories(dir.file("templates"));
        std::filesystem::copy_file(XKV_SOURCE_DIR "/templates/report.tpl", dir.file("templates/report.tpl"));
        write_file(dir.file("ini/calibrations.cfg"),
                   "[soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\ncaption=Soil\r\n"
                   "B=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=10\r\nbkgnd_corr=1\r\n");
    }

    void use_port(const std::string& device, int timeout = 20) {
        write_file(dir.file("ini/program_opt.xkv"),
                   "[COM]\r\nport=1\r\ntimeout=" + std::to_string(timeout) + "\r\n[PORTS]\r\nCOM1=" + device + "\r\n");
    }

    // Starts the CLI; its output goes to cli.out and cli.err of `out_dir` (the program directory
    // unless another is given).
    pid_t spawn(std::vector<std::string> args, std::string out_dir = {}) {
        if (out_dir.empty()) {
            out_dir = dir.path();
            args.insert(args.begin(), {"--dir", dir.path()});
        }
        args.insert(args.begin(), XKV_BIN_DIR "/xkv4410-cli");
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const std::string out = out_dir + "/cli.out", err = out_dir + "/cli.err";
        write_file(err, "");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    cli_result finish(pid_t pid, std::string out_dir = {}) {
        if (out_dir.empty()) out_dir = dir.path();
        cli_result r;
        int status = 0;
        if (pid > 0 && waitpid(pid, &status, 0) == pid) r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = read_file(out_dir + "/cli.out");
        r.err = read_file(out_dir + "/cli.err");
        return r;
    }

    // With "--dir" first the command runs in that directory, its output files in it too.
    cli_result cli(std::vector<std::string> args) {
        if (args.size() > 1 && args[0] == "--dir") {
            const std::string other = args[1];
            return finish(spawn(std::move(args), other), other);
        }
        return finish(spawn(std::move(args)));
    }
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

} // namespace

TEST_F(CliEndToEnd, MeasureSaveThenListExportAndReport) {
    sim_process sim({"--speed", "20", "--alpha", "5", "--beta", "20"});
    use_port(sim.link_path());
    EXPECT_EQ(cli({"sets"}).out, "soil\n");

    const cli_result measured = cli({"measure", "--set", "soil", "--sample", "S1", "--description",
                                     "tab\there, line\nthere", "--save", "--report", dir.file("run.txt")});
    ASSERT_EQ(measured.exit_code, 0) << measured.err;
    const auto rows = lines_of(measured.out);
    ASSERT_EQ(rows.size(), 2u) << measured.out;
    EXPECT_EQ(cells_of(rows[0]).size(), 30u);
    EXPECT_EQ(cells_of(rows[0])[1], "Sample ID");
    const auto row = cells_of(rows[1]);
    ASSERT_EQ(row.size(), 30u);
    EXPECT_EQ(row[0], "0");
    EXPECT_EQ(row[1], "S1");
    EXPECT_EQ(row[2], "tab\\there, line\\nthere");
    EXPECT_EQ(row[6], "5"); // alpha: a ratemeter reading in mode R1,R2
    EXPECT_EQ(row[7], "20");
    EXPECT_EQ(row[16], "19.96"); // (5 - 0.01) / 0.25
    EXPECT_NE(measured.err.find("/10 s"), std::string::npos) << "progress on stderr";
    EXPECT_NE(read_file(dir.file("run.txt")).find("S1"), std::string::npos);

    const cli_result listed = cli({"list", "--sample", "S1"});
    ASSERT_EQ(listed.exit_code, 0) << listed.err;
    const auto listing = lines_of(listed.out);
    ASSERT_EQ(listing.size(), 2u);
    EXPECT_EQ(cells_of(listing[0]).size(), 32u);
    EXPECT_EQ(cells_of(listing[1])[2], "S1");
    EXPECT_EQ(cells_of(listing[1])[3], "tab\\there, line\\nthere");
    EXPECT_EQ(lines_of(cli({"list", "--sample", "S2"}).out).size(), 1u);
    EXPECT_EQ(lines_of(cli({"list", "--p1-from", "4", "--p1-to", "5"}).out).size(), 2u);
    EXPECT_EQ(lines_of(cli({"list", "--p1-from", "5.5"}).out).size(), 1u);

    const cli_result exported = cli({"export-xls", dir.file("out.xls"), "--sample", "S1"});
    EXPECT_EQ(exported.out, "file saved!\n");
    EXPECT_GT(std::filesystem::file_size(dir.file("out.xls")), 16u + 64u * 12u);

    const cli_result reported = cli({"report", dir.file("db.txt")});
    ASSERT_EQ(reported.exit_code, 0) << reported.err;
    const std::string report = read_file(dir.file("db.txt"));
    EXPECT_NE(report.find("S1"), std::string::npos);
    EXPECT_NE(report.find("\r\n"), std::string::npos);
    // The run's report took number 2, the listing's report number 3.
    EXPECT_NE(read_file(dir.file("ini/default.xkv")).find("number=3"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir.file("ini/program_opt.xkv.bak")));
}

TEST_F(CliEndToEnd, DeviceTestOnlineAndOffline) {
    {
        sim_process sim;
        use_port(sim.link_path());
        const cli_result online = cli({"test"});
        EXPECT_EQ(online.exit_code, 0);
        EXPECT_NE(online.out.find("SIMULATOR"), std::string::npos) << online.out;
        const cli_result console = cli({"console", "n"});
        EXPECT_EQ(lines_of(console.out).front(), "SEND COMMAND : n");
    }
    use_port(dir.file("no-such-port"));
    const cli_result offline = cli({"test"});
    EXPECT_EQ(offline.exit_code, 3);
    EXPECT_EQ(offline.out, "ERROR OPEN COM PORT\n");
}

TEST_F(CliEndToEnd, ACommunicationFailureEndsWithExitFourAndKeepsTheOutput) {
    sim_process sim({"--speed", "1", "--fail-after", "1"});
    use_port(sim.link_path(), 1);
    const cli_result r = cli({"measure", "--set", "soil", "--sample", "S9", "--description", "d", "--save"});
    EXPECT_EQ(r.exit_code, 4) << r.err;
    EXPECT_NE(r.err.find("ERROR IN COMUNICATION"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("No data to save !!!!"), std::string::npos) << r.err;
    EXPECT_EQ(lines_of(r.out).size(), 1u) << "the header row, no measurement row";
}

TEST_F(CliEndToEnd, SetupChecksAreUsageErrors) {
    use_port(dir.file("no-such-port"));
    EXPECT_EQ(cli({"measure", "--set", "nope", "--sample", "S", "--description", "d"}).exit_code, 2);
    const cli_result zero =
        cli({"measure", "--set", "soil", "--sample", "S", "--description", "d", "--quantity", "0", "--preset", "0"});
    EXPECT_EQ(zero.exit_code, 2);
    EXPECT_EQ(zero.err, "CAN NOT SET quantity to 0\nCAN NOT SET preset time to 0\n");
    const cli_result fraction =
        cli({"measure", "--set", "soil", "--sample", "S", "--description", "d", "--preset", "1.5"});
    EXPECT_EQ(fraction.exit_code, 2);
    EXPECT_EQ(fraction.err, "preset time '1.5' is not a whole number of seconds (--preset)\n");
    const cli_result empty = cli({"measure", "--set", "soil", "--sample", "S", "--description", "d", "--units", ""});
    EXPECT_EQ(empty.exit_code, 2);
    EXPECT_NE(empty.err.find("units"), std::string::npos);
}

TEST_F(CliEndToEnd, CheckUpdateAgainstALoopbackHost) {
    http_server server;
    server.set_answer("/xkv-4410/ver.txt", {200, "VER.1.01.0000\r\n", {}});
    auto with_host = [&](const std::string& host) {
        write_file(dir.file("ini/program_opt.xkv"), "[UPDATE]\r\nhost=" + host + "\r\n");
    };
    with_host(server.host());
    const cli_result same = cli({"check-update"});
    EXPECT_EQ(same.exit_code, 0);
    EXPECT_EQ(same.out, "up to date\n");

    server.set_answer("/xkv-4410/ver.txt", {200, "VER.1.02.0000", {}});
    EXPECT_EQ(cli({"check-update"}).out, "NEW VERSION AVAILABLE - VER.1.02.0000 !!!\n");
    server.set_answer("/xkv-4410/ver.txt", {200, "VER.1.02\x1b]0;owned\x07\x1b[2J\r\n", {}});
    EXPECT_EQ(cli({"check-update"}).out, "NEW VERSION AVAILABLE - VER.1.02]0;owned[2J !!!\n");

    with_host(xkv::test::closed_http_host());
    const cli_result down = cli({"check-update"});
    EXPECT_EQ(down.exit_code, 5);
    EXPECT_EQ(down.out, "");
}

TEST_F(CliEndToEnd, CheckTemplate) {
    EXPECT_EQ(cli({"check-template"}).out, "OK\n");
    write_file(dir.file("bad.tpl"), "line\n{TABLE}\n{D.SAMP_ID}\n");
    const cli_result bad = cli({"check-template", dir.file("bad.tpl")});
    EXPECT_EQ(bad.out, "{TABLE} WIHTOUT {END_TABLE}\n");
    EXPECT_EQ(bad.exit_code, 1) << "a template error is no success";
    const cli_result missing = cli({"check-template", dir.file("none.tpl")});
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.err.find("none.tpl"), std::string::npos);
}

TEST_F(CliEndToEnd, InterruptTerminateOrHangUpWhileCountingStopsKeepsAndSavesTheCount) {
    // One program directory, instrument and run per signal, all at once.
    struct station {
        int signal;
        temp_dir dir;
        std::unique_ptr<sim_process> sim;
        pid_t pid = -1;
    };
    std::vector<std::unique_ptr<station>> stations;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        auto s = std::make_unique<station>();
        s->signal = signal;
        s->sim = std::make_unique<sim_process>(std::vector<std::string>{"--speed", "1"});
        std::filesystem::create_directories(s->dir.file("ini"));
        std::filesystem::copy_file(dir.file("ini/calibrations.cfg"), s->dir.file("ini/calibrations.cfg"));
        write_file(s->dir.file("ini/program_opt.xkv"),
                   "[COM]\r\nport=1\r\n[PORTS]\r\nCOM1=" + s->sim->link_path() + "\r\n");
        s->pid = spawn({"--dir", s->dir.path(), "measure", "--set", "soil", "--sample", "S5", "--description", "d",
                        "--preset", "100", "--save"},
                       s->dir.path());
        ASSERT_GT(s->pid, 0);
        stations.push_back(std::move(s));
    }
    for (auto& s : stations) {
        SCOPED_TRACE(strsignal(s->signal));
        // Wait (bounded) for the first progress line: the run is counting.
        for (int i = 0; i < 300 && read_file(s->dir.file("cli.err")).find("/100 s") == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::kill(s->pid, s->signal);
    }
    for (auto& s : stations) {
        SCOPED_TRACE(strsignal(s->signal));
        const cli_result r = finish(s->pid, s->dir.path());
        EXPECT_EQ(r.exit_code, 4) << "a count cut short" << r.err;
        EXPECT_NE(r.err.find("interrupted"), std::string::npos) << r.err;
        const auto rows = lines_of(r.out);
        ASSERT_EQ(rows.size(), 2u) << r.out;
        const auto row = cells_of(rows[1]);
        EXPECT_EQ(row[1], "S5");
        EXPECT_LT(std::stoi(row[8]), 100) << "the time of the measurement stopped early";
        EXPECT_EQ(row[9], "100");
        EXPECT_NE(s->sim->log().find("\nS\n"), std::string::npos) << "the instrument was stopped";
        const cli_result listed = cli({"--dir", s->dir.path(), "list", "--sample", "S5"});
        EXPECT_EQ(lines_of(listed.out).size(), 2u) << "the row was saved" << listed.err;
    }
}
