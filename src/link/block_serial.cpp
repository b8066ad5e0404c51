#include "link/block_serial.h"

#include "settings/program_options.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace xkv {

namespace {

// How long a write may wait for room in the output queue before it is given up.
constexpr int write_room_limit_ms = 1000;
// Most bytes moved into the pending buffer in one fill: a flooding peer can't keep a fill going.
constexpr std::size_t max_fill = 65536;

struct speed_code {
    int bits_per_second;
    speed_t code;
};

constexpr std::array speed_codes{
    speed_code{50, B50},         speed_code{75, B75},         speed_code{110, B110},       speed_code{134, B134},
    speed_code{150, B150},       speed_code{200, B200},       speed_code{300, B300},       speed_code{600, B600},
    speed_code{1200, B1200},     speed_code{1800, B1800},     speed_code{2400, B2400},     speed_code{4800, B4800},
    speed_code{9600, B9600},     speed_code{19200, B19200},   speed_code{38400, B38400},   speed_code{57600, B57600},
    speed_code{115200, B115200}, speed_code{230400, B230400}, speed_code{460800, B460800}, speed_code{921600, B921600},
};

bool find_speed(int bits_per_second, speed_t& code) {
    for (const auto& s : speed_codes)
        if (s.bits_per_second == bits_per_second) {
            code = s.code;
            return true;
        }
    return false;
}

} // namespace

TBlockSerial::TBlockSerial(std::map<std::int32_t, std::string> port_devices) : port_devices_(std::move(port_devices)) {}

TBlockSerial::~TBlockSerial() { close_port(); }

void TBlockSerial::record(int code, std::string text) {
    last_error_ = code;
    last_error_text_ = std::move(text);
}

void TBlockSerial::record_errno(std::string_view what, int error) {
    record(error, std::string(what) + ": " + std::strerror(error));
}

bool TBlockSerial::check_open() {
    if (fd_ >= 0) return true;
    record(not_open, "Port not open");
    return false;
}

void TBlockSerial::open_port(const std::string& port_name) {
    close_port();
    const std::string device = port_device_path(port_devices_, port_name);
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        record_errno("Open " + device, errno);
        return;
    }
    // TIOCEXCL does not stop root, so the lock is what keeps a second user out.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            record(port_busy, "Port busy: " + device);
        else
            record_errno("Lock " + device, error);
        return;
    }
    if (!::isatty(fd)) {
        ::close(fd);
        record(bad_setting, "Not a serial device: " + device);
        return;
    }
    // The driver's input queue is the line discipline's own (4 kB); Linux has no size to ask for.
    fd_ = fd;
    pending_.clear();
    pending_pos_ = 0;
    record_ok();
    ::ioctl(fd_, TIOCEXCL);
    // Stale input only: every command before was drained when sent, and on a pseudo-terminal an
    // output flush would throw away what the far end has not read yet of the previous connection.
    ::tcflush(fd_, TCIFLUSH);
    // A pseudo-terminal has no modem lines: the outcome is kept, the port stays open.
    const int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd_, TIOCMBIS, &lines) != 0) record_errno("Set DTR/RTS", errno);
}

void TBlockSerial::configure_line(int speed, int data_bits, char parity, int stop_bits, bool software_flow,
                                  bool hardware_flow) {
    if (!check_open()) return;
    termios t{};
    if (::tcgetattr(fd_, &t) != 0) {
        record_errno("Read line settings", errno);
        return;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK | ISTRIP | IXON | IXOFF | IXANY);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    std::string problem;
    switch (data_bits) {
    case 5: t.c_cflag |= CS5; break;
    case 6: t.c_cflag |= CS6; break;
    case 7: t.c_cflag |= CS7; break;
    case 8: t.c_cflag |= CS8; break;
    default: t.c_cflag |= CS8; problem = "Unsupported data bits " + std::to_string(data_bits);
    }
    switch (parity) {
    case 'N':
    case 'n': break;
    case 'O':
    case 'o': t.c_cflag |= PARENB | PARODD; break;
    case 'E':
    case 'e': t.c_cflag |= PARENB; break;
    case 'M':
    case 'm': t.c_cflag |= PARENB | PARODD | CMSPAR; break;
    case 'S':
    case 's': t.c_cflag |= PARENB | CMSPAR; break;
    default: problem = std::string("Unsupported parity ") + parity;
    }
    if (t.c_cflag & PARENB) t.c_iflag |= INPCK;
    if (stop_bits == 2)
        t.c_cflag |= CSTOPB;
    else if (stop_bits != 1)
        problem = "Unsupported stop bits " + std::to_string(stop_bits);
    if (software_flow) t.c_iflag |= IXON | IXOFF;
    if (hardware_flow) t.c_cflag |= CRTSCTS;
    speed_t code = B9600;
    if (find_speed(speed, code)) {
        ::cfsetispeed(&t, code);
        ::cfsetospeed(&t, code);
    } else {
        problem = "Unsupported speed " + std::to_string(speed);
    }
    if (::tcsetattr(fd_, TCSANOW, &t) != 0) {
        record_errno("Apply line settings", errno);
        return;
    }
    if (problem.empty())
        record_ok();
    else
        record(bad_setting, problem);
}

bool TBlockSerial::wait_writable() {
    pollfd p{fd_, POLLOUT, 0};
    const int r = ::poll(&p, 1, write_room_limit_ms);
    if (r > 0 && (p.revents & POLLOUT)) return true;
    if (r == 0)
        record(timeout, "Write timeout");
    else if (r < 0)
        record_errno("Wait to write", errno);
    else
        record(hung_up, "Port hung up");
    return false;
}

bool TBlockSerial::write_all(const std::uint8_t* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd_, data + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            record_errno("Write", errno);
            return false;
        }
        if (!wait_writable()) return false;
    }
    // The write has completed once the driver has sent it.
    if (::tcdrain(fd_) != 0) {
        record_errno("Drain output", errno);
        return false;
    }
    record_ok();
    return true;
}

void TBlockSerial::write_byte(std::uint8_t byte) {
    if (!check_open()) return;
    write_all(&byte, 1);
}

void TBlockSerial::write_text(std::string_view text) {
    if (!check_open()) return;
    write_all(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

int TBlockSerial::waiting_count() {
    if (!check_open()) return 0;
    int n = 0;
    if (::ioctl(fd_, FIONREAD, &n) != 0) {
        record_errno("Count waiting bytes", errno);
        return 0;
    }
    record_ok();
    return n;
}

bool TBlockSerial::fill_pending(int limit_ms) {
    if (pending_pos_ >= pending_.size()) {
        pending_.clear();
        pending_pos_ = 0;
    }
    pollfd p{fd_, POLLIN, 0};
    int r;
    do r = ::poll(&p, 1, limit_ms < 0 ? 0 : limit_ms);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        record_errno("Wait for data", errno);
        return false;
    }
    if (r == 0) {
        record(timeout, "Timeout");
        return false;
    }
    std::size_t moved = 0;
    std::array<char, 4096> chunk;
    while (moved < max_fill) {
        const ssize_t n = ::read(fd_, chunk.data(), chunk.size());
        if (n > 0) {
            pending_.append(chunk.data(), static_cast<std::size_t>(n));
            moved += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EIO) {
            record_errno("Read", errno);
            return false;
        }
        break; // a raw tty without data reads 0; a hung-up one fails with EIO
    }
    if (moved == 0) {
        if (p.revents & (POLLHUP | POLLERR))
            record(hung_up, "Port hung up");
        else
            record(timeout, "Timeout");
        return false;
    }
    record_ok();
    return true;
}

std::uint8_t TBlockSerial::read_byte(int limit_ms) {
    if (!check_open()) return 0;
    if (pending_pos_ >= pending_.size() && !fill_pending(limit_ms)) return 0;
    record_ok();
    return static_cast<std::uint8_t>(pending_[pending_pos_++]);
}

int TBlockSerial::read_exact(std::uint8_t* destination, int count, int limit_ms) {
    if (!check_open()) return 0;
    int stored = 0;
    while (stored < count) {
        if (pending_pos_ >= pending_.size() && !fill_pending(limit_ms)) return stored;
        const std::size_t take = std::min(pending_.size() - pending_pos_, static_cast<std::size_t>(count - stored));
        std::memcpy(destination + stored, pending_.data() + pending_pos_, take);
        pending_pos_ += take;
        stored += static_cast<int>(take);
    }
    record_ok();
    return stored;
}

std::string TBlockSerial::read_crlf_line(int limit_ms, int total_limit_ms) {
    if (!check_open()) return {};
    using clock = std::chrono::steady_clock;
    const auto give_up = clock::now() + std::chrono::milliseconds(total_limit_ms);
    std::string line;
    while (line.size() < max_crlf_line + 2) {
        if (total_limit_ms >= 0 && clock::now() >= give_up) {
            record(timeout, "Timeout");
            return {};
        }
        if (pending_pos_ >= pending_.size() && !fill_pending(limit_ms)) return {};
        line.push_back(pending_[pending_pos_++]);
        if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') {
            line.resize(line.size() - 2);
            record_ok();
            return line;
        }
    }
    record(bad_setting, "Line too long");
    return {};
}

void TBlockSerial::purge() {
    if (!check_open()) return;
    pending_.clear();
    pending_pos_ = 0;
    // Only input is discarded: on a pseudo-terminal discarding output loses the command just written.
    ::tcdrain(fd_);
    if (::tcflush(fd_, TCIFLUSH) != 0)
        record_errno("Purge", errno);
    else
        record_ok();
}

void TBlockSerial::flush() {
    if (!check_open()) return;
    if (::tcdrain(fd_) != 0)
        record_errno("Flush", errno);
    else
        record_ok();
}

void TBlockSerial::close_port() {
    if (fd_ < 0) return;
    purge();
    const int rts = TIOCM_RTS;
    const int dtr = TIOCM_DTR;
    ::ioctl(fd_, TIOCMBIC, &rts);
    ::ioctl(fd_, TIOCMBIC, &dtr);
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_); // releases the lock as well
    fd_ = -1;
    pending_.clear();
    pending_pos_ = 0;
}

} // namespace xkv
