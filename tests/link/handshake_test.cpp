#include "link/t_xkv.h"
#include "support/pty_peer.h"

#include <gtest/gtest.h>

#include <vector>

namespace xkv {
namespace {

using test::pty_peer;

TEST(Handshake, OnlyDebugmodeWithCrLfMakesTheLinkOnline) {
    struct row {
        const char* answer;
        bool online;
    };
    const row rows[] = {
        {"DEBUGMODE\r\n", true},   {"DEBUGMODE\n", false}, // LF alone never ends the line
        {"debugmode\r\n", false},                          // case-sensitive
        {" DEBUGMODE\r\n", false},                         // nothing trimmed
        {"DEBUGMODE \r\n", false}, {"", false},            // no answer at all
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::PrintToString(std::string(r.answer)));
        pty_peer peer;
        if (*r.answer) peer.answer("tarvo", r.answer);
        t_xkv link(1, 9600, peer.port_devices(1));
        EXPECT_EQ(link.online, r.online);
        EXPECT_EQ(peer.received(6), "tarvo\n");
    }
}

TEST(Handshake, PausesGoThroughTheInjectedWaitAndAnInstrumentIsNotRushed) {
    for (const bool answers : {true, false}) {
        SCOPED_TRACE(answers ? "answering" : "silent");
        pty_peer peer;
        if (answers) peer.answer("tarvo", "DEBUGMODE\r\n");
        std::vector<int> waits; // waits that return at once, as a test clock's do
        t_xkv link(1, 9600, peer.port_devices(1), nullptr, [&waits](int ms) { waits.push_back(ms); });
        EXPECT_EQ(link.online, answers); // the real time still passes for the instrument to answer
        ASSERT_FALSE(waits.empty());
        EXPECT_EQ(waits.front(), 100); // the line settles before "tarvo"
        int total = 0;
        for (const int ms : waits) total += ms;
        EXPECT_LE(total, 100 + 500); // the handshake waits no longer than its limit
    }
    std::vector<int> waits;
    t_xkv offline(7, 9600, {{7, "/nonexistent/xkv-port"}}, nullptr, [&waits](int ms) { waits.push_back(ms); });
    EXPECT_TRUE(waits.empty()); // a port that did not open has nothing to wait for
}

TEST(Handshake, MissingPortLeavesTheLinkOfflineWithoutError) {
    diagnostic_log log;
    t_xkv link(7, 9600, {{7, "/nonexistent/xkv-port"}}, &log);
    EXPECT_FALSE(link.online);
    EXPECT_EQ(link.mode_code, 0);
    EXPECT_EQ(link.idle_limit, 0);
    EXPECT_EQ(link.read_error, 0);
}

} // namespace
} // namespace xkv
