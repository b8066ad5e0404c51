#include "link/t_xkv.h"
#include "peer_link.h"

#include <gtest/gtest.h>

#include <chrono>

namespace xkv {
namespace {

using test::connect;
using test::pty_peer;
using clock_type = std::chrono::steady_clock;

TEST(SendCommand, FramesTheTextUnchangedWithOneLf) {
    const std::string cases[] = {"", "R", "T 1,5e3", "lower Case\t\"quoted\"", std::string("\xb1\x00z", 3)};
    pty_peer peer;
    auto link = connect(peer, false);
    for (const auto& text : cases) {
        SCOPED_TRACE(testing::PrintToString(text));
        peer.clear_received();
        link->send_command(text);
        EXPECT_EQ(peer.received(text.size() + 1), text + "\n");
    }
}

TEST(SendCommand, SendsAnyLengthWhole) {
    pty_peer peer;
    auto link = connect(peer, false);
    const std::string longer(t_xkv::buffer_capacity + 10, 'k');
    link->send_command(longer);
    EXPECT_EQ(peer.received(longer.size() + 1), longer + "\n");
}

TEST(WaitAndRead, ReplyIsOnlyWhatCameAfterTheCommand) {
    pty_peer peer;
    diagnostic_log log;
    auto link = connect(peer, true, &log);
    peer.send("stale answer\r\n");
    peer.answer("n", "A\r\nB\r\n");
    peer.received(0); // the stale bytes are in the program's queue by now
    link->send_command("n");
    ASSERT_TRUE(link->read_reply_lines());
    EXPECT_EQ(link->reply_text, "A\r\nB\r\n");
    EXPECT_EQ(link->last_reply.count, 2);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"OK"});
}

TEST(WaitAndRead, KeepsEveryByteInTheReplyText) {
    pty_peer peer;
    auto link = connect(peer);
    const std::string reply("x\x80\xff\ry\r\n", 7);
    peer.answer("n", reply);
    link->send_command("n");
    ASSERT_TRUE(link->read_reply_lines());
    EXPECT_EQ(link->reply_text, reply);
    EXPECT_EQ(link->last_reply.lines[0], "x\x80\xff\ry");
}

TEST(WaitAndRead, NothingAnsweringGivesFalseAndKeepsTheLastReply) {
    pty_peer peer;
    diagnostic_log log;
    auto link = connect(peer, true, &log);
    peer.answer("first", "kept\r\n", 20, 1);
    link->send_command("first");
    ASSERT_TRUE(link->read_reply_lines());

    link->send_command("unanswered");
    const auto start = clock_type::now();
    EXPECT_FALSE(link->read_reply_lines());
    EXPECT_GE(clock_type::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(link->last_reply.lines[0], "kept");
    EXPECT_EQ(log.lines().size(), 2u); // one outcome per wait-and-read
}

TEST(WaitAndRead, WithoutAPortRecordsTheFailureInTheDiagnosticLog) {
    diagnostic_log log;
    t_xkv link(1, 9600, {{1, "/nonexistent/xkv-port"}}, &log);
    link.send_command("n");
    EXPECT_FALSE(link.read_reply_lines());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0], "Port not open");
}

// Byte-wise reads through the counter read (mode 1 reads one line, mode 3 two).
struct bytewise_case {
    const char* name;
    std::string reply;
    std::int32_t idle_limit;
    std::int32_t mode;
    int count;
    std::string slot0, slot1;
    std::int32_t read_error;
};

TEST(BytewiseRead, StoresLinesByTheIdleAndMaskingRules) {
    const bytewise_case cases[] = {
        {"CR not stored", "12\r\n", 20, 1, 1, "12", "", 0},
        {"CR overruns idle limit 0", "123\r\n", 0, 1, 1, "12", "", 1},
        {"NUL is an idle wait, bit 7 cleared", std::string("4\x00\xb2\r\n", 5), 5, 1, 1, "42", "", 0},
        {"NUL past the idle limit",
         std::string("4\x00"
                     "5\r\n",
                     5),
         0, 1, 1, "", "", 1},
        {"two lines in mode 3", "100\r\n200\r\n", 20, 3, 2, "100", "200", 0},
        // The CR ends the first line early; its LF then ends the second, so no error is kept.
        {"first-line overrun forgiven", "7\r\n8\r\n", 0, 3, 1, "7", "", 0},
        // A cut-off line loses its last character to the closing LF.
        {"second line cut off", "7\r\n8", 2, 3, 2, "7", "", 1},
        {"silent", "", 1, 1, 0, "", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        pty_peer peer;
        auto link = connect(peer);
        link->set_mode(c.mode);
        if (!c.reply.empty()) peer.answer("R", c.reply);
        link->idle_limit = c.idle_limit;
        t_My_line_res reply;
        reply.lines[5] = "from an earlier read";
        link->read_counters(0, reply);
        EXPECT_EQ(reply.count, c.count);
        EXPECT_EQ(reply.lines[0], c.slot0);
        EXPECT_EQ(reply.lines[1], c.slot1);
        EXPECT_EQ(reply.lines[5], "");
        EXPECT_EQ(link->read_error, c.read_error);
        EXPECT_EQ(reply, link->last_reply);
    }
}

TEST(BytewiseRead, SilentInstrumentEndsALineAfterIdleLimitPlusOneWaits) {
    pty_peer peer;
    auto link = connect(peer);
    link->set_mode(mode_r1_or_r2);
    link->idle_limit = 2;
    t_My_line_res reply;
    const auto start = clock_type::now();
    link->read_ratemeters(0, reply);
    EXPECT_GE(clock_type::now() - start, std::chrono::milliseconds(3 * 200));
    EXPECT_EQ(link->read_error, 2);
    EXPECT_EQ(reply.count, 0);
}

TEST(BytewiseRead, ReadErrorIsNeverClearedByTheLink) {
    pty_peer peer;
    auto link = connect(peer);
    link->set_mode(mode_c1_minus_c2);
    link->read_error = 2;
    peer.answer("R", "5\r\n");
    link->idle_limit = 20;
    t_My_line_res reply;
    link->read_counters(0, reply);
    EXPECT_EQ(reply.lines[0], "5");
    EXPECT_EQ(link->read_error, 2);
}

TEST(BytewiseRead, ALeftoverLfIsDiscardedByTheNextCommand) {
    pty_peer peer;
    auto link = connect(peer);
    link->set_mode(mode_c1_minus_c2);
    peer.answer("R", "123\r\n", 20, 1);
    peer.answer("R", "456\r\n", 20, 1);
    t_My_line_res reply;
    link->read_counters(0, reply); // idle limit 0: the CR ends the line, the LF stays queued
    EXPECT_EQ(reply.lines[0], "12");
    link->idle_limit = 20;
    link->read_counters(0, reply);
    EXPECT_EQ(reply.count, 1);
    EXPECT_EQ(reply.lines[0], "456");
}

} // namespace
} // namespace xkv
