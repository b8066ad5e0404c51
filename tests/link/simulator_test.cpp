#include "link/t_xkv.h"
#include "settings/value_text.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace xkv {
namespace {

using test::sim_process;
using lines = std::vector<std::string>;

// Polls the time as the run does until the preset time is reached (bounded).
std::int64_t wait_for_preset(t_xkv& link, std::int64_t preset) {
    std::string elapsed = "0";
    for (int i = 0; i < 100 && digits_to_int(elapsed) < preset; ++i) link.read_time(elapsed);
    return digits_to_int(elapsed);
}

TEST(Simulator, AnswersTheDeviceTestThroughTheRealLink) {
    sim_process sim;
    t_xkv link(1, 9600, sim.port_devices(1));
    EXPECT_TRUE(link.online);
    EXPECT_EQ(link.device_test(), "XKV 4410 SIMULATOR SIMULATED INSTRUMENT, NO HARDWARE MODE M0 PRESET 0   ");
    EXPECT_EQ(sim.commands(), (lines{"tarvo", "n"}));
}

struct mode_case {
    std::int32_t mode;
    const char* wire;
    bool counters;
    int count;
    const char* alpha;
    const char* beta;
};

TEST(Simulator, DownloadStartReadStopInEveryMode) {
    // 1000 simulated seconds per real second: the 10 s preset passes in about 10 ms.
    const mode_case cases[] = {
        {1, "M0", true, 1, "20", ""},  {2, "M1", false, 1, "2", ""}, {3, "M3", true, 2, "20", "30"},
        {4, "M4", false, 2, "2", "3"}, {5, "M2", false, 1, "2", ""}, {6, "M5", false, 2, "2", "3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        sim_process sim({"--speed", "1000", "--alpha", "2", "--beta", "3"});
        t_xkv link(1, 9600, sim.port_devices(1));
        ASSERT_TRUE(link.online);
        _options profile;
        profile.mode = c.mode;
        download_settings(link, profile, "10");
        link.start_count();
        link.idle_limit = 20;
        EXPECT_EQ(wait_for_preset(link, 10), 10); // the instrument stops at its preset
        t_My_line_res values;
        if (c.counters)
            link.read_counters(0, values);
        else
            link.read_ratemeters(0, values);
        EXPECT_EQ(link.read_error, 0);
        EXPECT_EQ(values.count, c.count);
        EXPECT_EQ(values.lines[0], c.alpha);
        EXPECT_EQ(values.lines[1], c.beta);
        link.stop_count();

        ASSERT_TRUE(sim.wait_logged("S"));
        const lines log = sim.commands();
        const lines download{"tarvo",    "I2 10000", "I1 10000", "I3 10000", "I4 10000", "A0 10000",
                             "A1 10000", "A2 10000", "A3 10000", "F1 0.01",  "F2 0.01",  "j1 1000",
                             "j2 1000",  "K0 1",     "K1 1",     "K2 1",     "K3 0.1",   "K4 2",
                             c.wire,     "T 10",     "U 16",     "G"};
        ASSERT_GT(log.size(), download.size() + 2);
        EXPECT_EQ(lines(log.begin(), log.begin() + download.size()), download);
        EXPECT_EQ(log[log.size() - 2], c.counters ? "R" : "P");
        EXPECT_EQ(log.back(), "S");
    }
}

TEST(Simulator, SurvivesTheProgramClosingAndReopeningThePort) {
    sim_process sim({"--speed", "1000"});
    for (int opening = 0; opening < 3; ++opening) {
        t_xkv link(1, 9600, sim.port_devices(1));
        EXPECT_TRUE(link.online) << opening;
    }
    t_xkv link(1, 9600, sim.port_devices(1));
    t_xkv second(1, 9600, sim.port_devices(1)); // the port is taken
    EXPECT_TRUE(link.online);
    EXPECT_FALSE(second.online);
}

TEST(SimulatorFaults, SilentAnswersNothing) {
    sim_process silent({"--silent"});
    t_xkv link(1, 9600, silent.port_devices(1));
    EXPECT_FALSE(link.online);
    EXPECT_EQ(link.device_test(), "ERROR OPEN COM PORT");
    EXPECT_EQ(silent.commands(), (lines{"tarvo", "n"}));
}

TEST(SimulatorFaults, NoHandshakeLeavesTheLinkOfflineButAnswersQueries) {
    sim_process no_handshake({"--no-handshake"});
    t_xkv link(1, 9600, no_handshake.port_devices(1));
    EXPECT_FALSE(link.online);
    EXPECT_NE(link.device_test(), "ERROR OPEN COM PORT");
}

TEST(SimulatorFaults, FailAfterStopsOnlyTheValueReads) {
    sim_process failing({"--fail-after", "1"});
    t_xkv link(1, 9600, failing.port_devices(1));
    link.set_mode(mode_c1_minus_c2);
    link.idle_limit = 1;
    t_My_line_res values;
    link.read_counters(0, values);
    EXPECT_EQ(link.read_error, 0);
    link.read_counters(0, values);
    EXPECT_EQ(link.read_error, 1);
    std::string elapsed;
    link.read_time(elapsed);
    EXPECT_EQ(elapsed, "0"); // answered: nothing has been counted
}

TEST(SimulatorFaults, GarbageRepliesAreReadSafely) {
    sim_process garbage({"--garbage", "--seed", "7"});
    t_xkv link(1, 9600, garbage.port_devices(1));
    ASSERT_TRUE(link.online);
    link.set_mode(mode_r1_r2);
    link.idle_limit = 2;
    t_My_line_res values;
    for (int i = 0; i < 5; ++i) {
        link.read_ratemeters(0, values);
        for (unsigned char ch : link.reply_text) EXPECT_LT(ch, 0x80); // bit 7 always cleared
    }
}

TEST(Simulator, NoisyCountsOnlyGrow) {
    sim_process sim({"--noise", "--seed", "3", "--speed", "500", "--alpha", "50", "--beta", "50"});
    t_xkv link(1, 9600, sim.port_devices(1));
    link.set_mode(mode_c1_c2);
    link.start_count();
    link.idle_limit = 20;
    std::int64_t previous[2] = {0, 0};
    for (int i = 0; i < 4; ++i) {
        t_My_line_res values;
        link.read_counters(0, values);
        ASSERT_EQ(values.count, 2);
        for (int ch = 0; ch < 2; ++ch) {
            const std::int64_t now = digits_to_int(values.lines[ch]);
            EXPECT_GE(now, previous[ch]);
            previous[ch] = now;
        }
    }
    EXPECT_GT(previous[0], 0);
}

TEST(Simulator, RemovesItsLinkOnTermination) {
    sim_process sim;
    const std::string link = sim.link_path();
    EXPECT_TRUE(sim.terminate());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(Simulator, RejectsBadArgumentsAndDocumentsItsOptions) {
    const std::string sim = test::default_sim_program;
    EXPECT_NE(std::system((sim + " --speed fast --link /tmp/x >/dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((sim + " >/dev/null 2>&1").c_str()), 0); // --link is required
    EXPECT_EQ(std::system((sim + " --help >/dev/null").c_str()), 0);
}

} // namespace
} // namespace xkv
