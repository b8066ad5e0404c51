#include "link/block_serial.h"
#include "support/pty_peer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace xkv {
namespace {

using test::pty_peer;
using clock_type = std::chrono::steady_clock;

std::unique_ptr<TBlockSerial> open_on(const pty_peer& peer) {
    auto port = std::make_unique<TBlockSerial>(peer.port_devices(3));
    port->open_port("COM3");
    port->configure_line(9600, 7, 'E', 2, false, false);
    return port;
}

// Waits (bounded) until the driver holds `n` bytes, so a read sees them in one piece.
void wait_waiting(TBlockSerial& port, int n) {
    for (int i = 0; i < 300 && port.waiting_count() < n; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

TEST(BlockSerial, PortThatDidNotOpenFailsEveryOperationWithoutWaiting) {
    TBlockSerial port({{2, "/nonexistent/xkv-port"}});
    port.open_port("COM2");
    EXPECT_FALSE(port.is_open());
    EXPECT_NE(port.last_error_text(), "OK");

    port.configure_line(9600, 7, 'E', 2, false, false);
    EXPECT_EQ(port.last_error(), TBlockSerial::not_open);
    port.write_text("tarvo\n");
    EXPECT_EQ(port.last_error(), TBlockSerial::not_open);
    EXPECT_EQ(port.waiting_count(), 0);
    // Not a timeout: the read gave up because there is no port, not because the limit ran out.
    EXPECT_EQ(port.read_byte(200), 0);
    EXPECT_EQ(port.last_error(), TBlockSerial::not_open);
    std::uint8_t buffer[4];
    EXPECT_EQ(port.read_exact(buffer, 4, 1000), 0);
    EXPECT_EQ(port.read_crlf_line(500), "");
    EXPECT_EQ(port.last_error(), TBlockSerial::not_open);
}

TEST(BlockSerial, OpensComNumberThroughThePortMapAndExclusively) {
    pty_peer peer;
    auto first = open_on(peer);
    ASSERT_TRUE(first->is_open());
    EXPECT_EQ(first->last_error_text(), "OK");

    TBlockSerial second(peer.port_devices(3));
    second.open_port("COM3");
    EXPECT_FALSE(second.is_open());
    EXPECT_EQ(second.last_error(), TBlockSerial::port_busy);

    first.reset(); // releasing the port lets the next user in
    second.open_port("COM3");
    EXPECT_TRUE(second.is_open());
}

TEST(BlockSerial, LineSettingsRejectWhatTheDriverCannotDo) {
    pty_peer peer;
    auto port = open_on(peer);
    EXPECT_EQ(port->last_error_text(), "OK");
    for (char parity : {'N', 'o', 'e', 'M', 's'}) {
        port->configure_line(4800, 8, parity, 1, false, false);
        EXPECT_EQ(port->last_error(), TBlockSerial::ok) << parity;
    }
    port->configure_line(12345, 7, 'E', 2, false, false);
    EXPECT_EQ(port->last_error(), TBlockSerial::bad_setting);
    port->configure_line(9600, 7, 'X', 2, false, false);
    EXPECT_EQ(port->last_error(), TBlockSerial::bad_setting);
    port->configure_line(9600, 7, 'E', 3, false, false);
    EXPECT_EQ(port->last_error(), TBlockSerial::bad_setting);
}

TEST(BlockSerial, WritesAndReadsEveryByteUntranslated) {
    pty_peer peer;
    auto port = open_on(peer);
    const std::string all_kinds("a\r\n\x00\x7f\x80\xff"
                                "b",
                                8);
    port->write_text(all_kinds);
    port->write_byte(0x8A);
    EXPECT_EQ(peer.received(9), all_kinds + "\x8a");

    peer.send(all_kinds);
    wait_waiting(*port, 8);
    std::uint8_t got[8] = {};
    EXPECT_EQ(port->read_exact(got, 8, 1000), 8);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(got), 8), all_kinds);
}

TEST(BlockSerial, ReadByteGivesZeroForTimeoutAndForNul) {
    pty_peer peer;
    auto port = open_on(peer);
    EXPECT_EQ(port->read_byte(50), 0);
    EXPECT_EQ(port->last_error(), TBlockSerial::timeout);

    peer.send(std::string("\0", 1));
    EXPECT_EQ(port->read_byte(1000), 0);
    EXPECT_EQ(port->last_error_text(), "OK");
}

TEST(BlockSerial, ReadExactStopsShortWhenDataStops) {
    pty_peer peer;
    auto port = open_on(peer);
    peer.send("12345");
    wait_waiting(*port, 5);
    std::uint8_t got[10] = {};
    const auto start = clock_type::now();
    EXPECT_EQ(port->read_exact(got, 10, 100), 5);
    EXPECT_GE(clock_type::now() - start, std::chrono::milliseconds(100));
    EXPECT_EQ(port->last_error(), TBlockSerial::timeout);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(got), 5), "12345");
}

TEST(BlockSerial, CrLfLineLeavesTheRestPending) {
    pty_peer peer;
    auto port = open_on(peer);
    peer.send("a\rb\r\ncd");
    EXPECT_EQ(port->read_crlf_line(500), "a\rb");
    EXPECT_EQ(port->read_byte(200), 'c');
    EXPECT_EQ(port->read_byte(200), 'd');
}

TEST(BlockSerial, LfAloneNeverEndsACrLfLine) {
    pty_peer peer;
    auto port = open_on(peer);
    peer.send("DEBUGMODE\n");
    const auto start = clock_type::now();
    EXPECT_EQ(port->read_crlf_line(500), "");
    EXPECT_GE(clock_type::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(port->last_error(), TBlockSerial::timeout);
}

TEST(BlockSerial, PurgeDropsPendingBytesAndTheDriverQueue) {
    pty_peer peer;
    auto port = open_on(peer);
    peer.send("xyz");
    EXPECT_EQ(port->read_byte(1000), 'x'); // "yz" now wait in the layer
    peer.send("more");
    wait_waiting(*port, 4);
    port->purge();
    EXPECT_EQ(port->waiting_count(), 0);
    EXPECT_EQ(port->read_byte(50), 0);
    EXPECT_EQ(port->last_error(), TBlockSerial::timeout);
}

TEST(BlockSerial, HungUpPortEndsReadsAtOnceWithItsOutcome) {
    pty_peer peer;
    auto port = open_on(peer);
    peer.hang_up();
    // Generous limits: a hang-up must end each read, not the limit.
    EXPECT_EQ(port->read_byte(200), 0);
    EXPECT_EQ(port->last_error(), TBlockSerial::hung_up);
    EXPECT_EQ(port->read_crlf_line(500), "");
    port->write_text("S\n");
    EXPECT_NE(port->last_error_text(), "OK");
}

} // namespace
} // namespace xkv
