#include "link/debug_console.h"
#include "support/pty_peer.h"

#include <gtest/gtest.h>

namespace xkv {
namespace {

using test::pty_peer;
using lines = std::vector<std::string>;

_program_options options_for(const pty_peer& peer) {
    _program_options o;
    o.port = 2;
    o.port_devices = peer.port_devices(2);
    return o;
}

TEST(DebugConsole, LogsEveryReplySlotUpToTheRemainder) {
    pty_peer peer;
    peer.answer_handshake();
    peer.answer("n", "XKV\r\nV1\r\n");
    peer.answer("raw", " no line end ");
    debug_console console;
    console.open(options_for(peer));
    ASSERT_TRUE(console.online());
    console.send("n");
    console.send("raw");
    EXPECT_EQ(console.lines(), (lines{
                                   "SEND COMMAND : n",
                                   "RECEIVE COMMAND COUNT : 2",
                                   "RECEIVE COMMAND 0: XKV",
                                   "RECEIVE COMMAND 1: V1",
                                   "RECEIVE COMMAND 2: ",
                                   "SEND COMMAND : raw",
                                   "RECEIVE COMMAND COUNT : 0",
                                   "RECEIVE COMMAND 0:  no line end ",
                               }));
}

TEST(DebugConsole, SendsEvenOfflineAndLogsOnlyTheSendWhenNothingAnswers) {
    pty_peer peer;
    debug_console console;
    console.open(options_for(peer));
    ASSERT_FALSE(console.online());
    peer.received(6);
    peer.clear_received();
    console.send("");
    EXPECT_EQ(peer.received(1), "\n");
    EXPECT_EQ(console.lines(), lines{"SEND COMMAND : "});
}

TEST(DebugConsole, ReleasesThePortOnCloseAndKeepsItsLogAcrossOpenings) {
    pty_peer peer;
    peer.answer_handshake();
    peer.answer("n", "here\r\n");
    diagnostic_log diagnostics;
    debug_console console(&diagnostics);
    console.open(options_for(peer));
    console.send("n");
    console.close();
    EXPECT_FALSE(console.is_open());
    console.send("n"); // closed: goes nowhere
    {
        t_xkv other(2, 9600, peer.port_devices(2)); // the port is free again
        EXPECT_TRUE(other.online);
    }
    console.open(options_for(peer));
    EXPECT_TRUE(console.online());
    console.send("n");
    EXPECT_EQ(console.lines().size(), 4u + 1u + 4u);
    EXPECT_EQ(console.lines().back(), "RECEIVE COMMAND 1: ");
    EXPECT_EQ(diagnostics.lines(), (lines{"OK", "OK"}));
}

} // namespace
} // namespace xkv
