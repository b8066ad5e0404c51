#include "link/t_xkv.h"
#include "peer_link.h"

#include <gtest/gtest.h>

namespace xkv {
namespace {

using test::connect;
using test::pty_peer;

_options distinct_profile() {
    _options p;
    p.alerts = {"c11", "c12", "r11", "r12", "c21", "c22", "r21", "r22"};
    p.failrate1 = "0,02";
    p.failrate2 = "0.03";
    p.hv1 = "1100";
    p.hv2 = "900";
    p.C = "7";
    p.D = "8";
    p.E = "9";
    p.mode = mode_r1_or_r2;
    p.UNIT = "unit x";
    return p;
}

TEST(SettingsDownload, OnlineSendsEverySettingInTheInstrumentsOrder) {
    pty_peer peer;
    auto link = connect(peer);
    download_settings(*link, distinct_profile(), " 60 ");
    const std::string expected = "I2 c11\nI1 c21\nI3 c22\nI4 c12\nA0 r11\nA1 r21\nA2 r12\nA3 r22\n"
                                 "F1 0,02\nF2 0.03\nj1 1100\nj2 900\n"
                                 "K0 1\nK1 1\nK2 7\nK3 8\nK4 9\n"
                                 "M2\nT  60 \nU unit x\n";
    EXPECT_EQ(peer.received(expected.size()), expected);
    EXPECT_EQ(link->mode_code, mode_r1_or_r2);
}

TEST(SettingsDownload, OfflineSendsOnlyPresetTimeAndUnit) {
    pty_peer peer;
    auto link = connect(peer, false);
    ASSERT_FALSE(link->online);
    download_settings(*link, distinct_profile(), "60");
    EXPECT_EQ(peer.received(14), "T 60\nU unit x\n");
    EXPECT_EQ(link->mode_code, 0);
}

TEST(SetMode, SendsTheInstrumentsModeNumber) {
    const std::pair<std::int32_t, std::string> cases[] = {
        {1, "M0\n"}, {2, "M1\n"}, {3, "M3\n"}, {4, "M4\n"}, {5, "M2\n"}, {6, "M5\n"}, {0, ""}, {7, ""}, {-1, ""},
    };
    pty_peer peer;
    auto link = connect(peer);
    for (const auto& [code, wire] : cases) {
        SCOPED_TRACE(code);
        peer.clear_received();
        link->set_mode(code);
        link->send_command("marker");
        EXPECT_EQ(peer.received(wire.size() + 7), wire + "marker\n");
        EXPECT_EQ(link->mode_code, code); // kept even for a code without a wire text
    }
}

TEST(OfflineLink, StateChangingCommandsDoNothingAtAll) {
    pty_peer peer;
    peer.answer("L", "123\r\n");
    peer.answer("P", "5\r\n");
    auto link = connect(peer, false);
    link->set_mode(3);
    link->set_hv1("1");
    link->set_hv2("2");
    link->set_alarms(_o_alerts{});
    link->set_factors("1", "1", "1", "1", "1");
    link->set_fail_rates("1", "2");
    link->start_count();
    link->stop_count();
    std::string elapsed = "as passed";
    link->read_time(elapsed);
    t_My_line_res reply;
    reply.lines[0] = "as passed";
    link->read_ratemeters(0, reply);
    link->send_command("marker");
    EXPECT_EQ(peer.received(7), "marker\n");
    EXPECT_EQ(elapsed, "as passed");
    EXPECT_EQ(reply.lines[0], "as passed");
    EXPECT_EQ(link->mode_code, 0);
}

TEST(OfflineLink, CounterReadIsSentButNotRead) {
    pty_peer peer;
    peer.answer("R", "5\r\n");
    auto link = connect(peer, false);
    t_My_line_res reply;
    reply.lines[0] = "as passed";
    link->read_counters(0, reply);
    EXPECT_EQ(peer.received(2), "R\n");
    EXPECT_EQ(reply.lines[0], "as passed");
}

TEST(ValueReads, SelectorsPickTheWireText) {
    pty_peer peer;
    auto link = connect(peer);
    link->idle_limit = 0;
    t_My_line_res reply;
    peer.answer_any("1\n");
    for (int selector : {0, 1, 2, 3, -1}) {
        link->read_counters(selector, reply);
        link->read_ratemeters(selector, reply);
    }
    EXPECT_EQ(peer.received(15), "R\nP\nR1\nP1\nR2\nP2\n");
}

TEST(ValueReads, RatemeterLinesFollowTheMode) {
    const std::pair<std::int32_t, int> cases[] = {{2, 1}, {4, 2}, {5, 1}, {6, 2}};
    for (const auto& [mode, lines] : cases) {
        SCOPED_TRACE(mode);
        pty_peer peer;
        auto link = connect(peer);
        link->set_mode(mode);
        link->idle_limit = 1;
        peer.answer("P", "1.5\r\n2.5\r\n");
        t_My_line_res reply;
        link->read_ratemeters(0, reply);
        EXPECT_EQ(reply.count, lines);
        EXPECT_EQ(reply.lines[1], lines == 2 ? "2.5" : "");
        EXPECT_EQ(link->read_error, 0);
    }
}

TEST(ReadTime, TakesTheOneCompleteLineElseZero) {
    struct time_case {
        const char* reply;
        std::int32_t idle_limit;
        const char* elapsed;
    };
    const time_case cases[] = {
        {"123\r\n", 20, "123"}, {"123\r\n", 0, "123"}, // a CR can't cut a time line short
        {" 45 \r\n", 0, "45"},  {"12", 1, "0"},        // no line end before the idle limit
        {"", 1, "0"},                                  // silent: bounded, not endless
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        pty_peer peer;
        auto link = connect(peer);
        link->idle_limit = c.idle_limit;
        if (*c.reply) peer.answer("L", c.reply);
        std::string elapsed = "unchanged";
        link->read_time(elapsed);
        EXPECT_EQ(elapsed, c.elapsed);
        EXPECT_EQ(link->read_error, 0);
        EXPECT_EQ(peer.received(2), "L\n");
    }
}

TEST(DeviceTest, JoinsTheFirstFiveSlotsEachWithASpace) {
    const std::pair<std::string, std::string> cases[] = {
        {"ABC\r\n", "ABC     "},
        {"A\r\nB\r\nC\r\n", "A B C   "},
        {"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n", "1 2 3 4 5 "},
        {"part", "part     "},
    };
    for (const auto& [answer, result] : cases) {
        SCOPED_TRACE(answer);
        pty_peer peer;
        auto link = connect(peer);
        peer.answer("n", answer);
        EXPECT_EQ(link->device_test(), result);
        EXPECT_EQ(peer.received(2), "n\n");
    }
}

TEST(DeviceTest, AsksEvenOfflineAndReportsSilence) {
    pty_peer peer;
    auto link = connect(peer, false);
    EXPECT_EQ(link->device_test(), "ERROR OPEN COM PORT");
    EXPECT_EQ(peer.received(2), "n\n");
    peer.answer("n", "still here\r\n");
    EXPECT_EQ(link->device_test(), "still here     ");
}

} // namespace
} // namespace xkv
