// The lab's records with a server as the results store: a calibration, a QC check and a sample
// saved under them all land on the server, and the listing traces the sample to them, also after
// a copy to a file.

#include "support/cli_in_process.h"
#include "support/pg_cluster.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace xkv::test;

TEST(CliServerLab, CalibrationQcAndTheSampleTracedToThemLiveOnTheServer) {
    pg_cluster server;
    server.sql("CREATE DATABASE xkv");
    const std::string uri = server.uri("xkv");
    sim_process sim({"--speed", "100", "--alpha", "30", "--beta", "3"});
    temp_dir dir;
    std::filesystem::create_directories(dir.file("ini"));
    write_file(dir.file("ini/program_opt.xkv"), "[DB]\r\ndatabase=" + uri + "\r\n[COM]\r\nport=1\r\ntimeout=20\r\n" +
                                                    "[PORTS]\r\nCOM1=" + sim.link_path() + "\r\n");
    write_file(dir.file("ini/calibrations.cfg"),
               "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\ncaption=Soil\r\n"
               "B=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=10\r\nbkgnd_corr=1\r\n");
    write_file(dir.file("ini/default.xkv"), "[BACKGROUND]\r\nalpha=0.05\r\nbeta=1.0\r\ntime=1000\r\n");
    const auto cli = [&](std::vector<std::string> args) { return run_cli_in(dir.path(), std::move(args)); };

    const outcome calibrated = cli({"calibrate", "crosstalk", "--set", "Soil", "--source", "alpha", "--counts",
                                    "20000,1000", "--time", "200", "--apply"});
    ASSERT_EQ(calibrated.code, 0) << calibrated.err;
    // chi = (1000/200 - 1.0) / (20000/200 - 0.05), worked out apart from the program.
    EXPECT_NEAR(std::stod(server.value("SELECT value FROM calibrations", "xkv")), 0.040020010005, 1e-12);
    const outcome checked = cli({"qc", "background", "--set", "Soil", "--counts", "50,1000", "--time", "1000"});
    ASSERT_EQ(checked.code, 0) << checked.err;
    EXPECT_EQ(server.value("SELECT kind || ' ' || verdict FROM qc_records", "xkv"), "background pass");

    const outcome measured = cli({"measure", "--set", "Soil", "--sample", "S1", "--description", "d", "--save"});
    ASSERT_EQ(measured.code, 0) << measured.err;
    EXPECT_EQ(server.value("SELECT c.kind || ' v' || c.version FROM results r JOIN result_calibrations x ON "
                           "x.result_id = r.id JOIN calibrations c ON c.id = x.calibration_id",
                           "xkv"),
              "crosstalk alpha to beta v1");
    EXPECT_EQ(server.value("SELECT left(mark, 15) FROM qc_marks", "xkv"), "QC NOT CURRENT:") << "no source check yet";

    const outcome listed = cli({"list", "--lab"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    EXPECT_NE(listed.out.find("\tcrosstalk alpha to beta v1\tQC NOT CURRENT:"), std::string::npos) << listed.out;
    const outcome history = cli({"calibrate", "list"});
    EXPECT_NE(history.out.find("Soil\tcrosstalk alpha to beta\t1\t"), std::string::npos) << history.out;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.is_directory()) << entry.path() << ": no database file beside the server";

    // Copied to a file, the sample keeps its trace: its calibration record and its QC mark go along.
    const std::string file = dir.file("archive.mdb");
    const outcome copied = cli({"db", "copy", uri, file});
    ASSERT_EQ(copied.code, 0) << copied.err;
    write_file(dir.file("ini/program_opt.xkv"), "[DB]\r\ndatabase=" + file + "\r\n");
    const outcome archived = cli({"list", "--lab"});
    EXPECT_NE(archived.out.find("\tcrosstalk alpha to beta v1\tQC NOT CURRENT:"), std::string::npos) << archived.out;
}
