#include "link/t_xkv.h"

#include "link/block_serial.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace xkv {

namespace {

constexpr int settle_after_configure_ms = 100;
constexpr int handshake_limit_ms = 500;
constexpr int reply_delay_ms = 500;
constexpr int reply_polls = 25;
constexpr int reply_read_limit_ms = 1000;
constexpr int byte_wait_ms = 200;
constexpr std::size_t cleared_on_clear = 255; // clearing zeroes only the first 255 positions
constexpr int wait_slice_ms = 20;             // the handshake looks for input this often

using steady = std::chrono::steady_clock;

int ms_since(steady::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(steady::now() - start).count());
}

} // namespace

t_xkv::t_xkv(std::int32_t port, std::int32_t speed, const std::map<std::int32_t, std::string>& port_devices,
             diagnostic_log* log, wait_fn wait)
    : port_(std::make_unique<TBlockSerial>(port_devices)), log_(log), wait_(std::move(wait)),
      port_name_("COM" + std::to_string(port)), speed_(speed),
      buffer_(std::make_unique<std::uint8_t[]>(buffer_capacity)) {
    port_->open_port(port_name_);
    port_->configure_line(speed_, data_bits_, 'E', stop_bits_, false, false);
    if (port_->is_open()) pause(settle_after_configure_ms); // a port that failed has nothing to settle
    port_->write_text("tarvo\n");
    online = read_handshake(handshake_limit_ms) == "DEBUGMODE";
}

void t_xkv::pause(int ms) {
    const steady::time_point start = steady::now();
    if (wait_) wait_(ms);
    const int left = ms - ms_since(start);
    if (left > 0) std::this_thread::sleep_for(std::chrono::milliseconds(left));
}

std::string t_xkv::read_handshake(int limit_ms) {
    const steady::time_point start = steady::now();
    if (wait_ && port_->is_open()) {
        for (int waited = 0; waited < limit_ms && port_->waiting_count() == 0; waited += wait_slice_ms)
            wait_(wait_slice_ms);
    }
    // The rest of the limit in real time: the line's remaining bytes, or an instrument still to answer.
    return port_->read_crlf_line(std::max(0, limit_ms - ms_since(start)), reply_line_budget_ms);
}

t_xkv::~t_xkv() = default; // the port closes itself: purge, RTS and DTR down, device released

void t_xkv::clear_buffer() { std::memset(buffer_.get(), 0, cleared_on_clear); }

void t_xkv::send_frame(std::string_view frame) {
    // One byte at a time, each write complete before the next; a port that stops taking bytes
    // (hung up, or its queue full past the write limit) ends the frame rather than the program.
    for (char c : frame) {
        port_->write_byte(static_cast<std::uint8_t>(c));
        if (port_->last_error() != TBlockSerial::ok) break;
    }
}

void t_xkv::send_command(std::string_view text) {
    // The frame is the text unchanged plus LF; it is written from its own copy so that a command
    // longer than the exchange buffer still goes out whole.
    std::string frame(text);
    frame.push_back('\n');
    send_frame(frame);
    clear_buffer();
    // Anything the instrument said before or during the command is stale.
    port_->purge();
    port_->flush();
}

void t_xkv::wait_reply() {
    clear_buffer();
    pause(reply_delay_ms);
    int waiting = 0;
    for (int i = 0; i < reply_polls && waiting == 0; ++i) waiting = port_->waiting_count();
    if (waiting > 0) {
        const int wanted = std::min(waiting, static_cast<int>(buffer_capacity));
        buffer_length_ = static_cast<std::uint16_t>(port_->read_exact(buffer_.get(), wanted, reply_read_limit_ms));
    } else {
        buffer_length_ = 0;
    }
    if (log_) log_->append(port_->last_error_text());
}

void t_xkv::take_reply() {
    reply_text.assign(reinterpret_cast<const char*>(buffer_.get()), buffer_length_);
    last_reply = split_lines(reply_text);
}

bool t_xkv::read_reply_lines() {
    wait_reply();
    if (buffer_length_ == 0) return false;
    take_reply();
    return true;
}

std::chrono::steady_clock::time_point t_xkv::line_deadline(std::chrono::steady_clock::time_point start) {
    const int budget_ms = std::max(reply_line_budget_ms, (std::min(idle_limit, 1 << 20) + 2) * byte_wait_ms);
    const auto deadline = start + std::chrono::milliseconds(budget_ms);
    if (!hurried_until_ && interrupted && interrupted())
        hurried_until_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(hurried_limit_ms);
    return hurried_until_ ? std::min(deadline, *hurried_until_) : deadline;
}

bool t_xkv::read_one_line(line_kind kind, std::size_t& stored, bool& overran) {
    std::int32_t idle = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        // A stream that never brings LF ends the line when the buffer is full.
        if (stored >= buffer_capacity) return false;
        if (std::chrono::steady_clock::now() >= line_deadline(start)) {
            overran = true;
            return false;
        }
        const std::uint8_t b = port_->read_byte(byte_wait_ms);
        if (b != 0 && b != '\r')
            buffer_[stored++] = b & 0x7F;
        else if (!(kind == line_kind::time && b == '\r'))
            ++idle; // the time read counts only waits that brought nothing, so its CR can't cut it
        if (b == '\n') return true;
        if (idle > idle_limit) return false;
    }
}

void t_xkv::read_line_reply(line_kind kind, int line_count) {
    clear_buffer();
    std::size_t stored = 0;
    bool complete = true;
    bool overran = false;
    for (int line = 0; line < line_count; ++line) complete = read_one_line(kind, stored, overran);
    if (!complete) {
        if (kind == line_kind::counter) read_error = 1;
        if (kind == line_kind::ratemeter) read_error = 2;
        // A time line that outlasted its bound is a failing line, not a silent instrument.
        if (kind == line_kind::time && overran) read_error = 3;
    }
    buffer_length_ = static_cast<std::uint16_t>(stored);
    // The last stored byte becomes LF: nothing changes for a line that ended with LF, a value line
    // cut off loses its last character. A cut-off time line stays incomplete and so reads as "0".
    if (stored > 0 && (complete || kind != line_kind::time)) buffer_[stored - 1] = '\n';
    take_reply();
}

} // namespace xkv
