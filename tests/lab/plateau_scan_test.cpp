// The plateau scan on the wire, against a scripted instrument on a real pty; waits pass on a
// virtual clock.

#include "lab/plateau_scan.h"
#include "support/pty_peer.h"
#include "support/virtual_clock.h"

#include <gtest/gtest.h>

using namespace xkv;
using test::pty_peer;

namespace {

// What one step sends: the run's settings download with the scanned supply's voltage, then START
// and the reads up to the end of the count.
std::string step_wire(const std::string& hv1) {
    return "tarvo\nI2 10000\nI1 10000\nI3 10000\nI4 10000\nA0 10000\nA1 10000\nA2 10000\nA3 10000\n"
           "F1 0.01\nF2 0.01\nj1 " +
           hv1 + "\nj2 950\nK0 1\nK1 1\nK2 1\nK3 0.1\nK4 2\nM3\nT 10\nU 16\n";
}

struct PlateauScan : ::testing::Test {
    pty_peer peer;
    test::virtual_clock clock;
    _program_options options;
    _options profile;
    plateau_request request;
    bool interrupted = false;

    PlateauScan() {
        options.port_devices = peer.port_devices(1);
        options.timeout = 2;
        profile.mode = mode_c1_c2;
        profile.hv1 = "1000";
        profile.hv2 = "950";
        request.voltages = {"800", "900", "1000"};
        request.preset_time = "10";
        peer.answer_handshake();
        peer.answer("n", "XKV 4410 #7\r\nMODE M3\r\n");
    }
    void answer_counts() { peer.answer("R", "400\r\n800\r\n"); }

    // Drives the scan as the command line does; `each_tick` may interrupt.
    void drive(plateau_scan& scan, const std::function<void(int)>& each_tick = {}) {
        scan.on_interrupt([this] { return interrupted; });
        scan.start();
        for (int ticks = 0; scan.timer_on() && ticks < 200; ++ticks) {
            if (each_tick) each_tick(ticks);
            scan.tick();
        }
    }
};

} // namespace

TEST_F(PlateauScan, EachVoltageIsARunsDownloadAndCountThenTheProfilesVoltagesGoBack) {
    peer.answer("L", "10\r\n");
    answer_counts();
    plateau_scan scan(options, profile, request, clock.waiter());
    drive(scan);
    EXPECT_EQ(scan.state(), plateau_scan_state::finished);
    const std::string count = "G\nR\nL\nR\nL\nS\nR\n";
    const std::string expected =
        step_wire("800") + count + step_wire("900") + count + step_wire("1000") + count + "tarvo\nj1 1000\nj2 950\nn\n";
    EXPECT_EQ(peer.received(expected.size()), expected);
    EXPECT_EQ(clock.waits(), (std::vector<int>{5000, 3000, 5000, 3000, 5000, 3000}));
    ASSERT_EQ(scan.points().size(), 3u);
    EXPECT_EQ(scan.points()[1].voltage, 900);
    EXPECT_EQ(scan.points()[1].rate, 40); // 400 counts in 10 s
    EXPECT_EQ(scan.points()[1].u_rate, 2);
    EXPECT_EQ(scan.counter(), "XKV 4410 #7");
    EXPECT_TRUE(scan.restored());
}

TEST_F(PlateauScan, CtrlCStopsTheCountKeepsItAndRestoresTheVoltages) {
    peer.answer("L", "3\r\n"); // never reaches the preset by itself
    answer_counts();
    request.supply = 2;
    request.channel = default_plateau_channel(2);
    plateau_scan scan(options, profile, request, clock.waiter());
    drive(scan, [this](int ticks) { interrupted = ticks == 4; });
    EXPECT_EQ(scan.state(), plateau_scan_state::stopped);
    for (auto& n : scan.take_notices()) ADD_FAILURE() << n;
    const std::string sent = peer.received(400);
    EXPECT_NE(sent.find("\nj1 1000\nj2 800\n"), std::string::npos) << "supply 2 scanned: " << sent;
    const std::string tail = "G\nR\nL\nR\nL\nS\nR\nL\nS\ntarvo\nj1 1000\nj2 950\nn\n";
    ASSERT_GE(sent.size(), tail.size());
    EXPECT_EQ(sent.substr(sent.size() - tail.size()), tail) << sent;
    EXPECT_EQ(sent.find("j2 900"), std::string::npos) << "no further voltage after Ctrl-C";
    ASSERT_EQ(scan.points().size(), 1u) << "the count cut short is kept";
    EXPECT_DOUBLE_EQ(scan.points()[0].rate, 800.0 / 3) << "supply 2: beta";
}

TEST_F(PlateauScan, CtrlCDuringTheSettleWaitStartsNothingAndAFailedStepStillRestores) {
    {
        plateau_scan scan(options, profile, request, [this](int ms) { interrupted = ms == 5000; });
        drive(scan);
        EXPECT_EQ(scan.state(), plateau_scan_state::stopped);
        for (auto& n : scan.take_notices()) ADD_FAILURE() << n;
        const std::string expected = step_wire("800") + "tarvo\nj1 1000\nj2 950\nn\n";
        EXPECT_EQ(peer.received(expected.size()), expected);
    }
    peer.clear_received();
    interrupted = false;
    {
        // No counts answer: the step fails with the run's message, the voltages still go back.
        options.timeout = 1;
        plateau_scan scan(options, profile, request, clock.waiter());
        drive(scan);
        EXPECT_EQ(scan.state(), plateau_scan_state::failed);
        EXPECT_EQ(scan.take_notices(), std::vector<std::string>{"ERROR IN COMUNICATION"});
        const std::string sent = peer.received(300);
        const std::string tail = "G\nR\nS\ntarvo\nj1 1000\nj2 950\nn\n";
        ASSERT_GE(sent.size(), tail.size());
        EXPECT_EQ(sent.substr(sent.size() - tail.size()), tail) << sent;
        EXPECT_TRUE(scan.points().empty());
    }
}
