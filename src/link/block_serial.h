#pragma once
// The serial port layer: a thin, never-throwing wrapper over a termios tty. Every operation stores
// its outcome (code 0 and "OK" on success); reads never wait inside the driver, all waiting is done
// here against explicit time limits. A port that did not open fails every later call at once.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace xkv {

class TBlockSerial {
public:
    // Outcome codes besides the errno values of failed system calls.
    static constexpr int ok = 0;
    static constexpr int not_open = 9991;
    static constexpr int timeout = 9992;
    static constexpr int bad_setting = 9993;
    static constexpr int port_busy = 9994;
    static constexpr int hung_up = 9995;

    // `port_devices` maps "COM<n>" to a device path (the "PORTS" section of the program options).
    explicit TBlockSerial(std::map<std::int32_t, std::string> port_devices = {});
    ~TBlockSerial();
    TBlockSerial(const TBlockSerial&) = delete;
    TBlockSerial& operator=(const TBlockSerial&) = delete;

    // Opens "COM<n>" (or a device path) for exclusive use; asserts DTR and RTS, discards both queues.
    void open_port(const std::string& port_name);
    // Parity letters N, O, E, M, S in either case.
    void configure_line(int speed, int data_bits, char parity, int stop_bits, bool software_flow, bool hardware_flow);

    void write_byte(std::uint8_t byte);
    void write_text(std::string_view text);

    // Bytes waiting in the driver's input queue (not the pending buffer); 0 on failure.
    int waiting_count();
    // The first pending byte, waiting up to `limit_ms` for data when none is pending.
    // 0 on a timeout, on a received NUL and at once on an unopened port.
    std::uint8_t read_byte(int limit_ms);
    // Reads up to `count` bytes; gives up when no further data arrives within `limit_ms`.
    int read_exact(std::uint8_t* destination, int count, int limit_ms);
    // The text before the next CR LF; empty when a wait for more data runs out first, or when the
    // whole read would last longer than `total_limit_ms` (when given: a drip can't hold it).
    std::string read_crlf_line(int limit_ms, int total_limit_ms = -1);

    // Discards pending input (driver queue and pending buffer) once the output has left.
    void purge();
    // Pushes out any output still held.
    void flush();

    int last_error() const { return last_error_; }
    const std::string& last_error_text() const { return last_error_text_; }
    bool is_open() const { return fd_ >= 0; }

    // Purge, drop RTS and DTR, release the device. Also run by the destructor.
    void close_port();

    // Longest line read_crlf_line collects before giving up: an endless stream can't hold it.
    static constexpr std::size_t max_crlf_line = 4096;

private:
    void record(int code, std::string text);
    void record_ok() { record(ok, "OK"); }
    void record_errno(std::string_view what, int error);
    bool check_open();
    // Waits up to `limit_ms` for input and moves what arrived into the pending buffer.
    // False when nothing came (a timeout or a hang-up, recorded).
    bool fill_pending(int limit_ms);
    bool wait_writable();
    bool write_all(const std::uint8_t* data, std::size_t size);

    std::map<std::int32_t, std::string> port_devices_;
    int fd_ = -1;
    std::string pending_;         // taken from the driver, not yet handed out
    std::size_t pending_pos_ = 0; // first byte of pending_ not yet handed out
    int last_error_ = ok;
    std::string last_error_text_ = "OK";
};

} // namespace xkv
