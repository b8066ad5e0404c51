#pragma once
// The one way the program talks to the instrument: one object is one open connection. Construction
// opens the port and performs the "tarvo" handshake; without a port or an instrument the object
// exists and is offline. Destruction releases the port.

#include "link/diagnostic_log.h"
#include "settings/options.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace xkv {

class TBlockSerial;

// Reply lines: slots 0..count-1 hold the complete (LF-ended) lines, trimmed; slot count holds what
// followed the last LF, untrimmed. Room for 50 complete lines and the remainder.
struct t_My_line_res {
    static constexpr int capacity = 51;
    std::int32_t count = 0;
    std::array<std::string, capacity> lines;
    bool operator==(const t_My_line_res&) const = default;
};

// Splits a reply text into a fresh record; lines past the capacity are dropped.
t_My_line_res split_lines(std::string_view text);

class t_xkv {
public:
    // The link's own pauses (settling, the handshake, the reply delay) go through this; the
    // desktop program passes a wait that keeps its windows painting. Empty: the thread sleeps.
    using wait_fn = std::function<void(int ms)>;

    // `port_devices` maps port numbers to device paths ("PORTS" of the program options);
    // `log` receives the port's outcome text after every wait-and-read.
    t_xkv(std::int32_t port, std::int32_t speed, const std::map<std::int32_t, std::string>& port_devices = {},
          diagnostic_log* log = nullptr, wait_fn wait = {});
    ~t_xkv();
    t_xkv(const t_xkv&) = delete;
    t_xkv& operator=(const t_xkv&) = delete;

    // Public state, read and written by callers.
    std::int32_t mode_code = 0;  // mode last given to set_mode while online
    bool online = false;         // the handshake was answered with "DEBUGMODE"
    std::string reply_text;      // the last reply as text
    t_My_line_res last_reply;    // the last reply split into lines
    std::int32_t idle_limit = 0; // idle byte waits a counter or ratemeter read tolerates
    std::int32_t read_error = 0; // 1 counter read, 2 ratemeter read, 3 time read ran out of time;
                                 // cleared by callers
    // Asked while a reply is read; once it answers true (the operator interrupts), every read ends
    // within hurried_limit_ms of that moment, so the run can stop at once whatever the line does.
    std::function<bool()> interrupted;

    // Frames the text with LF, writes it byte by byte, then discards pending input. No online check.
    void send_command(std::string_view text);
    // Wait-and-read: true and last_reply replaced when at least one byte arrived.
    bool read_reply_lines();

    // What device_test gives when nothing answers.
    static constexpr std::string_view no_answer = "ERROR OPEN COM PORT";

    // The command set. Where an operation is not sent offline it does nothing at all offline.
    std::string device_test();                                // "n"; no_answer when nothing answers
    void read_counters(int selector, t_My_line_res& reply);   // "R", "R1", "R2" (sent offline, not read)
    void read_ratemeters(int selector, t_My_line_res& reply); // "P", "P1", "P2"
    void read_time(std::string& elapsed);                     // "L"; "0" unless exactly one line came
    void set_hv1(std::string_view value);                     // "j1 "
    void set_hv2(std::string_view value);                     // "j2 "
    void set_preset_time(std::string_view value);             // "T " (sent offline)
    void set_alarms(const _o_alerts& alerts);                 // "I2","I1","I3","I4","A0".."A3"
    void set_factors(std::string_view k0, std::string_view k1, std::string_view k2, std::string_view k3,
                     std::string_view k4);                         // "K0 ".."K4 "
    void set_fail_rates(std::string_view f1, std::string_view f2); // "F1 ", "F2 "
    void set_mode(std::int32_t code);                              // "M0".."M5" by the mode table
    void start_count();                                            // "G"
    void stop_count();                                             // "S"

    // Size of the exchange buffer shared by commands and replies.
    static constexpr std::size_t buffer_capacity = 65535;
    // Wall-clock bound of one reply line: the idle budget of the default timeout (21 waits of 200 ms)
    // and one wait of margin, so a silent line still ends by its idle count; a larger idle_limit gets
    // its larger budget. A stream that neither ends its line nor falls silent (CR bytes, a slow drip)
    // is cut off there.
    static constexpr int reply_line_budget_ms = (20 + 2) * 200;
    static constexpr int hurried_limit_ms = 1500;

private:
    enum class line_kind {
        counter,
        ratemeter,
        time
    };

    void clear_buffer();
    // At least `ms` of real time passes, through the injected wait as far as it goes: a wait that
    // only moves a test's clock must not rush an instrument on a real line.
    void pause(int ms);
    // The handshake reply, read once input has arrived or `limit_ms` have passed in waits.
    std::string read_handshake(int limit_ms);
    void send_frame(std::string_view frame);
    void wait_reply();
    // Byte-wise read of `line_count` LF-ended lines into the buffer, then into last_reply.
    void read_line_reply(line_kind kind, int line_count);
    // One line of a byte-wise read; false when it ran out of idle waits, time or room (`overran`
    // set when it was time).
    bool read_one_line(line_kind kind, std::size_t& stored, bool& overran);
    void take_reply();
    // When a line begun at `start` must be given up: past its budget, or soon after an interrupt.
    std::chrono::steady_clock::time_point line_deadline(std::chrono::steady_clock::time_point start);

    std::unique_ptr<TBlockSerial> port_;
    diagnostic_log* log_ = nullptr;
    wait_fn wait_;
    std::string port_name_;
    std::int32_t speed_ = 0;
    std::int32_t data_bits_ = 7;
    std::int32_t stop_bits_ = 2;
    std::uint16_t buffer_length_ = 0;
    std::unique_ptr<std::uint8_t[]> buffer_; // buffer_capacity bytes; position 1 is buffer_[0]
    std::optional<std::chrono::steady_clock::time_point> hurried_until_;
};

// The settings download of a run's opening, in the instrument's order: alarms, fail rates, high
// voltages, factors ("1", "1", C, D, E), mode, preset time (as typed), "U " + unit.
void download_settings(t_xkv& link, const _options& profile, std::string_view preset_time_text);

} // namespace xkv
