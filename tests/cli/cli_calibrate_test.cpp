// "calibrate" in-process: the check values from entered counts, the set's keys written on
// --apply and nothing else of the file touched, versions, bad input, and a standard counted
// through the simulator.

#include "cli/cli.h"
#include "lab/calibration_records.h"
#include "lab/crosstalk_keys.h"
#include "measurement/parameter_sets.h"
#include "settings/value_text.h"
#include "support/cli_in_process.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "support/tsv_cells.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace xkv;
using namespace xkv::cli;
using namespace xkv::test;

namespace {

// The second line of the output (the record under its header), as cells.
std::vector<std::string> record_cells(const std::string& out) {
    const auto first = out.find('\n');
    const auto second = out.find('\n', first + 1);
    if (first == std::string::npos || second == std::string::npos) return {};
    return cells_of(out.substr(first + 1, second - first - 1));
}

class CliCalibrate : public ::testing::Test {
protected:
    temp_dir dir;

    void SetUp() override {
        std::filesystem::create_directories(dir.file("ini"));
        write_file(dir.file("ini/calibrations.cfg"),
                   "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\ncaption=Soil\r\n"
                   "B=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=10\r\nbkgnd_corr=1\r\nremark=kept\r\n");
        write_file(dir.file("ini/default.xkv"), "[BACKGROUND]\r\nalpha=0.1\r\nbeta=1.0\r\ntime=1000\r\n");
    }

    outcome run_cli(std::vector<std::string> args) { return run_cli_in(dir.path(), std::move(args)); }

    std::vector<std::string> efficiency(std::vector<std::string> extra) {
        std::vector<std::string> args{
            "calibrate",         "efficiency", "--set",        "soil",  "--channel",        "alpha",
            "--activity",        "100",        "--u-activity", "2",     "--reference-date", "2020-01-01",
            "--half-life-years", "432.6",      "--nuclide",    "Am-241"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }
};

} // namespace

// Check values computed apart from the program (python3).
TEST_F(CliCalibrate, EfficiencyFromEnteredCountsIsAppliedInTheSetsOwnKeys) {
    const std::string before = read_file(dir.file("ini/calibrations.cfg"));
    const outcome kept = run_cli(efficiency({"--counts", "3000", "--time", "100", "--measured-date", "2026-12-08"}));
    ASSERT_EQ(kept.code, 0) << kept.err;
    auto rec = record_cells(kept.out);
    ASSERT_EQ(rec.size(), 19u) << kept.out;
    EXPECT_EQ(rec[0], "Soil");
    EXPECT_EQ(rec[1], "alpha efficiency");
    EXPECT_EQ(rec[2], "1");
    EXPECT_NEAR(std::stod(rec[3]), 0.3023409519349866, 1e-14);
    EXPECT_NEAR(std::stod(rec[4]), 0.027123395285768626, 1e-14);
    EXPECT_EQ(rec[12], "0.1"); // the profile's background, as the set corrects for it
    EXPECT_EQ(rec[18], "no");
    EXPECT_EQ(read_file(dir.file("ini/calibrations.cfg")), before) << "nothing applied without --apply";

    const outcome applied =
        run_cli(efficiency({"--counts", "3000", "--time", "100", "--measured-date", "2026-12-08", "--apply"}));
    ASSERT_EQ(applied.code, 0) << applied.err;
    rec = record_cells(applied.out);
    EXPECT_EQ(rec[2], "2") << "the next version";
    const _calibration set = load_parameter_set(dir.file("ini/calibrations.cfg"), "Soil");
    EXPECT_EQ(set.alpha, rec[3]);
    EXPECT_EQ(set.act_alpha, rec[4]);
    EXPECT_EQ(set.beta, "0.4");
    EXPECT_NE(read_file(dir.file("ini/calibrations.cfg")).find("remark=kept"), std::string::npos);

    const outcome listed = run_cli({"calibrate", "list", "--set", "Soil"});
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 3) << listed.out;
}

TEST_F(CliCalibrate, CrosstalkKeysSurviveTheSetsWriter) {
    const outcome r = run_cli({"calibrate", "crosstalk", "--set", "Soil", "--source", "alpha", "--counts", "20000,1000",
                               "--time", "200", "--apply"});
    ASSERT_EQ(r.code, 0) << r.err;
    // Backgrounds as the check: 0.05 and 1.0 per second over 1000 s.
    write_file(dir.file("ini/default.xkv"), "[BACKGROUND]\r\nalpha=0.05\r\nbeta=1.0\r\ntime=1000\r\n");
    const outcome checked = run_cli({"calibrate", "crosstalk", "--set", "Soil", "--source", "alpha", "--counts",
                                     "20000,1000", "--time", "200", "--apply"});
    ASSERT_EQ(checked.code, 0) << checked.err;
    const auto rec = record_cells(checked.out);
    EXPECT_EQ(rec[1], "crosstalk alpha to beta");
    EXPECT_EQ(rec[2], "2");
    EXPECT_NEAR(std::stod(rec[3]), 0.0400200100050025, 1e-15);
    EXPECT_NEAR(std::stod(rec[4]), 0.0016379164104193499, 1e-15);

    const std::string path = dir.file("ini/calibrations.cfg");
    save_parameter_set(path, "Soil", load_parameter_set(path, "Soil")); // the editor's OK
    const crosstalk_factors x = read_set_crosstalk(path, "Soil");
    EXPECT_EQ(format_general(x.alpha_to_beta), rec[3]);
    EXPECT_EQ(format_general(x.u_alpha_to_beta), rec[4]);
    EXPECT_EQ(x.beta_to_alpha, 0);
}

TEST_F(CliCalibrate, BadInputRecordsNothing) {
    const std::vector<std::vector<std::string>> bad = {
        efficiency({"--counts", "3000"}),                                   // no time
        efficiency({"--counts", "x", "--time", "100"}),                     // no number
        efficiency({"--counts", "5", "--time", "100"}),                     // net rate below 0
        {"calibrate", "efficiency", "--set", "Soil", "--channel", "gamma"}, // no such channel
        {"calibrate", "crosstalk", "--set", "Soil", "--source", "beta", "--counts", "100", "--time", "1"},
        {"calibrate", "efficiency", "--set", "Clay"}, // no such set
        {"calibrate", "drift"}};
    for (const auto& args : bad) {
        const outcome r = run_cli(args);
        EXPECT_EQ(r.code, exit_usage) << args.back() << ": " << r.err;
    }
    const outcome bad_date =
        run_cli({"calibrate", "efficiency", "--set", "Soil", "--channel", "beta", "--activity", "1", "--u-activity",
                 "0", "--reference-date", "2020-02-30", "--half-life-years", "1", "--counts", "100", "--time", "10"});
    EXPECT_EQ(bad_date.code, exit_usage);
    EXPECT_NE(bad_date.err.find("'2020-02-30' is no date"), std::string::npos) << bad_date.err;
    EXPECT_EQ(run_cli({"calibrate", "list"}).out.find('\n'), run_cli({"calibrate", "list"}).out.size() - 1)
        << "only the header";
}

TEST_F(CliCalibrate, AStandardCountedThroughTheSimulator) {
    sim_process sim({"--speed", "100", "--alpha", "30", "--beta", "3"});
    write_file(dir.file("ini/program_opt.xkv"),
               "[COM]\r\nport=1\r\ntimeout=20\r\n[PORTS]\r\nCOM1=" + sim.link_path() + "\r\n");
    const outcome r = run_cli(efficiency({"--apply"}));
    ASSERT_EQ(r.code, 0) << r.err;
    const auto rec = record_cells(r.out);
    ASSERT_EQ(rec.size(), 19u);
    EXPECT_NE(rec[17].find("SIMULATOR"), std::string::npos) << "the counter's reply to n";
    EXPECT_EQ(rec[13], "1000");
    // Default profile mode R1,R2: the rate of 30 /s over the preset 10 s.
    EXPECT_EQ(rec[10], "300");
    EXPECT_EQ(rec[11], "10");
    const auto commands = sim.commands();
    EXPECT_NE(std::find(commands.begin(), commands.end(), "G"), commands.end()) << "counted through the run";
    EXPECT_EQ(load_parameter_set(dir.file("ini/calibrations.cfg"), "Soil").alpha, rec[3]);

    // A sample measured now is saved under the applied calibration, and listed with it.
    ASSERT_EQ(run_cli({"measure", "--set", "Soil", "--sample", "S1", "--description", "d", "--save"}).code, 0);
    const outcome listed = run_cli({"list", "--lab"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    const auto header = cells_of(listed.out.substr(0, listed.out.find('\n')));
    const auto row = record_cells(listed.out);
    ASSERT_EQ(row.size(), header.size());
    EXPECT_EQ(row[header.size() - 2], "alpha efficiency v" + rec[2]) << listed.out;
}
