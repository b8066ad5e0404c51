#include "cli/cli.h"
#include "results/t_sqlite.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

using namespace xkv::cli;

namespace {

struct CliExports : ::testing::Test {
    xkv::test::temp_dir dir;
    const environment env{dir.path(), [](int) {}, nullptr, {}};

    CliExports() {
        std::filesystem::create_directory(dir.file("ini"));
        xkv::t_sqlite db(dir.file("default_database.mdb"));
        // A check source counted five times (counter mode), then a ratemeter row.
        const char* counts[] = {"1000", "1030", "970", "1010", "990"};
        for (int i = 0; i < 5; ++i)
            db.query("INSERT INTO results (ts,sample_id,series_number,mode,p1,p2,time,cal_l,cal_b,cal_l_act,cal_b_act,"
                     "bck_l,bck_b,bck_time,quantity,koef_k,bgn_corr,activity_l,u_activity_l) "
                     "VALUES (?,'CHK',?,'C1,C2',?,?,'100','0.25','0.4','0.05','0.05','0.5','2','1000',1,1,1,?,'0.05')",
                     {"2024-05-0" + std::to_string(i + 1) + " 10:00:00", std::to_string(i + 1), counts[i], counts[i],
                      counts[i]});
        db.query("INSERT INTO results (sample_id,series_number,mode,p1,p2) VALUES ('R','1','R1,R2','1','1')");
    }
    std::string run_out(const std::vector<std::string>& args) {
        std::ostringstream out, err;
        std::vector<std::string> all = {"--dir", dir.path()};
        all.insert(all.end(), args.begin(), args.end());
        EXPECT_EQ(run(all, out, err, env), exit_ok) << err.str();
        return out.str();
    }
};

TEST_F(CliExports, ListLimitsQcAndTheFiles) {
    const std::string listed = run_out({"list", "--limits", "--sample", "CHK"});
    EXPECT_NE(listed.find("\tText activity beta\tdecision threshold alpha\tdetection limit alpha\tdetection alpha\t"
                          "decision threshold beta\tdetection limit beta\tdetection beta\n"),
              std::string::npos);
    EXPECT_EQ(std::count(listed.begin(), listed.end(), '\n'), 6);
    EXPECT_EQ(run_out({"list"}).find("decision threshold"), std::string::npos);

    EXPECT_EQ(run_out({"qc", "chi2"}), "sample\tfirst id\tlast id\tchannel\tchi2\tdof\tp\tresult\n"
                                       "CHK\t1\t5\talpha\t2\t4\t0.735758882342885\tok\n"
                                       "CHK\t1\t5\tbeta\t2\t4\t0.735758882342885\tok\n");

    EXPECT_EQ(run_out({"export-csv", dir.file("a.csv")}), "file saved!\n");
    EXPECT_EQ(xkv::test::read_file(dir.file("a.csv")).substr(0, 8), "\xEF\xBB\xBF"
                                                                    "count");
    EXPECT_EQ(run_out({"export-xlsx", dir.file("a.xlsx"), "--mode", "R1,R2"}), "file saved!\n");
    EXPECT_EQ(xkv::test::read_file(dir.file("a.xlsx")).substr(0, 2), "PK");
}

TEST_F(CliExports, ChartWritesAPngWithoutADisplay) {
    if (!std::filesystem::exists(XKV_BIN_DIR "/xkv4410-chart.so")) GTEST_SKIP() << "built without the windows";
    const std::string command = "env -u DISPLAY -u QT_QPA_PLATFORM " XKV_BIN_DIR "/xkv4410-cli --dir " + dir.path() +
                                " chart activity_l " + dir.file("c.png") + " --sample CHK > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(xkv::test::read_file(dir.file("c.png")).substr(1, 3), "PNG");
    std::ostringstream out, err;
    EXPECT_EQ(run({"--dir", dir.path(), "chart", "sample_id", dir.file("d.png")}, out, err, env), exit_usage);
}

} // namespace
