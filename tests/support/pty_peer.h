#pragma once
// A scripted instrument on the far end of a pseudo-terminal, run in the test's own process.
// It records every byte the program writes and answers complete command lines from its rules,
// a little later, as a real instrument would (an answer before the program's purge would be lost).
//
//   pty_peer peer;
//   peer.answer_handshake();                        // "tarvo" -> "DEBUGMODE" CR LF
//   peer.answer("L", "123\r\n");
//   t_xkv link(1, 9600, peer.port_devices(1));      // "COM1" is the pty
//   EXPECT_EQ(peer.received(6), "tarvo\n");

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace xkv::test {

class pty_peer {
public:
    pty_peer();
    ~pty_peer();
    pty_peer(const pty_peer&) = delete;
    pty_peer& operator=(const pty_peer&) = delete;

    // The device path the program opens, and the "PORTS" mapping that makes it "COM<port>".
    const std::string& device() const { return device_; }
    std::map<std::int32_t, std::string> port_devices(std::int32_t port = 1) const;

    // Each time the line `command` arrives (its LF not included), answer `reply` after `delay_ms`.
    // Earlier rules are tried first; a rule with `times` left at 0 is used up.
    void answer(std::string command, std::string reply, int delay_ms = 50, int times = -1);
    void answer_handshake() { answer("tarvo", "DEBUGMODE\r\n"); }
    // Answers any line that no other rule takes.
    void answer_any(std::string reply, int delay_ms = 50);
    // Each time the line `command` arrives (any line when none is given), sends `bytes` every
    // `every_ms` until the next line arrives: a reply that never ends (CR after CR, a slow drip).
    void stream(std::optional<std::string> command, std::string bytes, int every_ms);
    // Sends bytes to the program now.
    void send(const std::string& bytes);

    // Every byte received so far; first waits (at most 3 s) for `at_least` bytes, then until the
    // line has been quiet for a moment.
    std::string received(std::size_t at_least = 0);
    // Waits (at most `limit`) until the bytes received so far hold `text`; false when they never did.
    bool wait_received(const std::string& text, std::chrono::milliseconds limit);
    void clear_received();

    // The instrument vanishes: both ends held by the peer close and the program's port hangs up.
    void hang_up();

private:
    struct rule {
        std::optional<std::string> command;
        std::string reply;
        int delay_ms;
        int times;
    };
    struct stream_rule {
        std::optional<std::string> command;
        std::string bytes;
        int every_ms;
    };
    struct scheduled {
        std::chrono::steady_clock::time_point due;
        std::string bytes;
    };

    void run();
    void take_input();
    void on_line(const std::string& line);
    void write_out();

    std::string device_;
    int master_ = -1;
    int slave_ = -1; // kept open so the master never sees a hang-up between the program's opens
    int wake_[2] = {-1, -1};
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::string received_;
    std::string line_;
    std::vector<rule> rules_;
    std::vector<scheduled> schedule_;
    std::vector<stream_rule> streams_;
    std::optional<stream_rule> streaming_;
    std::chrono::steady_clock::time_point stream_due_;
    std::string out_;
    bool stop_ = false;
    bool hung_up_ = false;
    std::thread thread_;
};

} // namespace xkv::test
