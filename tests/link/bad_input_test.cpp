// Replies no instrument should send: the link must neither crash, nor hang past its time limits,
// nor write past its capacities, and it must record the outcome.

#include "link/t_xkv.h"
#include "peer_link.h"
#include "support/sim_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

namespace xkv {
namespace {

using test::connect;
using test::pty_peer;
using test::sim_process;

std::string seventy_lines() {
    std::string text;
    for (int i = 0; i < 70; ++i) text += "L" + std::to_string(i) + "\r\n";
    return text;
}

TEST(BadInput, WaitAndReadKeepsOddBytesAndCapsTheLines) {
    struct bad_reply {
        const char* name;
        std::string bytes;
        int count;
        std::string slot0;
    };
    const bad_reply cases[] = {
        {"NUL bytes", std::string("\0a\0b\0\r\n", 7), 1, std::string("a\0b", 3)},
        {"bit 7 set", "\xb1\xb2\r\n", 1, "\xb1\xb2"},
        {"CR without LF", "a\rb\rc", 0, "a\rb\rc"},
        {"LF without CR", "a\nb\n", 2, "a"},
        {"70 lines", seventy_lines(), 50, "L0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pty_peer peer;
        auto link = connect(peer);
        peer.answer("n", c.bytes);
        link->send_command("n");
        ASSERT_TRUE(link->read_reply_lines());
        EXPECT_EQ(link->reply_text, c.bytes);
        EXPECT_EQ(link->last_reply.count, c.count);
        EXPECT_EQ(link->last_reply.lines[0], c.slot0);
    }
}

TEST(BadInput, AReplyLineThatNeverEndsIsCutOffByTheClock) {
    struct endless {
        const char* name;
        std::string command;
        std::string bytes;
        int every_ms;
        int read_error;
    };
    const endless cases[] = {
        {"CR stream to a time read", "L", std::string(64, '\r'), 5, 3},
        {"drip to a time read", "L", "1", 150, 3},
        {"drip to a counter read", "R", "1", 150, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pty_peer peer;
        auto link = connect(peer);
        link->idle_limit = 20;
        peer.stream(c.command, c.bytes, c.every_ms);
        auto read = std::async(std::launch::async, [&] {
            std::string elapsed;
            t_My_line_res reply;
            if (c.command == "L")
                link->read_time(elapsed);
            else
                link->read_counters(0, reply);
        });
        if (read.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            peer.hang_up(); // ends the read, so the failure is reported rather than hung
            ADD_FAILURE() << "the read did not end";
        }
        read.get();
        EXPECT_EQ(link->read_error, c.read_error);
    }
}

TEST(BadInput, HundredKilobyteReplyStaysWithinTheBuffer) {
    const std::string flood(100 * 1024, 'x');
    pty_peer peer;
    auto link = connect(peer);
    peer.answer("n", flood);
    link->send_command("n");
    ASSERT_TRUE(link->read_reply_lines());
    EXPECT_LE(link->reply_text.size(), t_xkv::buffer_capacity);
    EXPECT_EQ(link->last_reply.count, 0);

    // A value line that never ends stops when the buffer is full and counts as a failed read.
    link->set_mode(mode_c1_minus_c2);
    link->idle_limit = 20;
    peer.answer("R", flood);
    t_My_line_res values;
    link->read_counters(0, values);
    EXPECT_EQ(link->read_error, 1);
    EXPECT_EQ(link->reply_text.size(), t_xkv::buffer_capacity);
    EXPECT_EQ(link->reply_text.back(), '\n');
}

TEST(BadInput, EndlessHandshakeReplyLeavesTheLinkOffline) {
    pty_peer peer;
    peer.answer("tarvo", std::string(100 * 1024, 'D'));
    t_xkv link(1, 9600, peer.port_devices(1));
    EXPECT_FALSE(link.online);
}

TEST(BadInput, ValueLineWithoutLfRunsOutOfIdleWaits) {
    pty_peer peer;
    auto link = connect(peer);
    link->set_mode(mode_r1_minus_r2);
    link->idle_limit = 2;
    peer.answer("P", "12.5\r");
    t_My_line_res values;
    link->read_ratemeters(0, values);
    EXPECT_EQ(link->read_error, 2);
    EXPECT_EQ(values.count, 1);
    EXPECT_EQ(values.lines[0], "12."); // the partial line, its last character given up for the LF
}

TEST(BadInput, InstrumentVanishingMidReadEndsTheReadAndLaterCommandsHarmlessly) {
    // Answers the handshake; the first value read makes it hang up while the link waits for the reply.
    sim_process sim({"--fail-after", "0", "--hang-up"});
    diagnostic_log log;
    t_xkv link(1, 9600, sim.port_devices(1), &log);
    ASSERT_TRUE(link.online);
    link.set_mode(mode_c1_c2);
    link.idle_limit = 5;
    t_My_line_res values;
    link.read_counters(0, values);
    EXPECT_EQ(link.read_error, 1);
    EXPECT_EQ(sim.commands().back(), "R"); // it vanished at the read, not before

    EXPECT_EQ(link.device_test(), "ERROR OPEN COM PORT");
    link.stop_count();
    std::string elapsed = "unchanged";
    link.read_time(elapsed);
    EXPECT_EQ(elapsed, "0");
    ASSERT_FALSE(log.lines().empty());
    EXPECT_NE(log.lines().back(), "OK"); // the port's failure is recorded
}

} // namespace
} // namespace xkv
