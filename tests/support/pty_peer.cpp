#include "support/pty_peer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace xkv::test {

namespace {

using clock = std::chrono::steady_clock;

constexpr auto quiet_time = std::chrono::milliseconds(30);
constexpr auto received_limit = std::chrono::seconds(3);

} // namespace

pty_peer::pty_peer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
        throw std::runtime_error("pty_peer: no pseudo-terminal");
    device_ = ::ptsname(master_);
    slave_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) throw std::runtime_error("pty_peer: cannot open " + device_);
    termios t{};
    ::tcgetattr(slave_, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave_, TCSANOW, &t);
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pty_peer: no pipe");
    thread_ = std::thread([this] { run(); });
}

pty_peer::~pty_peer() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    (void)!::write(wake_[1], "x", 1);
    thread_.join();
    for (int fd : {master_, slave_, wake_[0], wake_[1]})
        if (fd >= 0) ::close(fd);
}

std::map<std::int32_t, std::string> pty_peer::port_devices(std::int32_t port) const { return {{port, device_}}; }

void pty_peer::answer(std::string command, std::string reply, int delay_ms, int times) {
    std::lock_guard lock(mutex_);
    rules_.push_back({std::move(command), std::move(reply), delay_ms, times});
}

void pty_peer::answer_any(std::string reply, int delay_ms) {
    std::lock_guard lock(mutex_);
    rules_.push_back({std::nullopt, std::move(reply), delay_ms, -1});
}

void pty_peer::stream(std::optional<std::string> command, std::string bytes, int every_ms) {
    std::lock_guard lock(mutex_);
    streams_.push_back({std::move(command), std::move(bytes), every_ms});
}

void pty_peer::send(const std::string& bytes) {
    {
        std::lock_guard lock(mutex_);
        out_ += bytes;
    }
    (void)!::write(wake_[1], "x", 1);
}

std::string pty_peer::received(std::size_t at_least) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, received_limit, [&] { return received_.size() >= at_least; });
    // Then wait until nothing more has come for a moment (bounded by the same limit).
    const auto give_up = clock::now() + received_limit;
    for (std::size_t seen = received_.size(); clock::now() < give_up; seen = received_.size())
        if (!arrived_.wait_for(lock, quiet_time, [&] { return received_.size() != seen; })) break;
    return received_;
}

bool pty_peer::wait_received(const std::string& text, std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, limit, [&] { return received_.find(text) != std::string::npos; });
}

void pty_peer::clear_received() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

void pty_peer::hang_up() {
    {
        std::lock_guard lock(mutex_);
        hung_up_ = true;
    }
    (void)!::write(wake_[1], "x", 1);
    // The thread closes the ends; wait until it has.
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, received_limit, [&] { return master_ < 0; });
}

void pty_peer::on_line(const std::string& line) {
    streaming_.reset();
    for (const auto& s : streams_) {
        if (s.command && *s.command != line) continue;
        streaming_ = s;
        stream_due_ = clock::now() + std::chrono::milliseconds(s.every_ms);
        return;
    }
    for (auto& r : rules_) {
        if (r.times == 0 || (r.command && *r.command != line)) continue;
        if (r.times > 0) --r.times;
        schedule_.push_back({clock::now() + std::chrono::milliseconds(r.delay_ms), r.reply});
        return;
    }
}

void pty_peer::take_input() {
    std::array<char, 4096> chunk;
    for (;;) {
        const ssize_t n = ::read(master_, chunk.data(), chunk.size());
        if (n <= 0) break;
        for (ssize_t i = 0; i < n; ++i) {
            received_.push_back(chunk[i]);
            if (chunk[i] == '\n') {
                on_line(line_);
                line_.clear();
            } else {
                line_.push_back(chunk[i]);
            }
        }
    }
    arrived_.notify_all();
}

void pty_peer::write_out() {
    while (!out_.empty()) {
        const ssize_t n = ::write(master_, out_.data(), out_.size());
        if (n <= 0) return; // the program's queue is full; the rest goes when there is room
        out_.erase(0, static_cast<std::size_t>(n));
    }
}

void pty_peer::run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        if (hung_up_ && master_ >= 0) {
            ::close(master_);
            ::close(slave_);
            master_ = slave_ = -1;
            arrived_.notify_all();
        }
        const auto now = clock::now();
        for (auto it = schedule_.begin(); it != schedule_.end();) {
            if (it->due <= now) {
                out_ += it->bytes;
                it = schedule_.erase(it);
            } else {
                ++it;
            }
        }
        if (streaming_ && stream_due_ <= now) {
            out_ += streaming_->bytes;
            stream_due_ = now + std::chrono::milliseconds(streaming_->every_ms);
        }
        if (master_ >= 0) write_out();
        int wait_ms = 50;
        if (streaming_)
            wait_ms = std::min<int>(
                wait_ms,
                std::max<int>(0, std::chrono::duration_cast<std::chrono::milliseconds>(stream_due_ - now).count() + 1));
        for (const auto& s : schedule_)
            wait_ms = std::min<int>(
                wait_ms,
                std::max<int>(0, std::chrono::duration_cast<std::chrono::milliseconds>(s.due - now).count() + 1));
        pollfd fds[2] = {{wake_[0], POLLIN, 0},
                         {master_, static_cast<short>(POLLIN | (out_.empty() ? 0 : POLLOUT)), 0}};
        lock.unlock();
        ::poll(fds, master_ >= 0 ? 2 : 1, wait_ms);
        lock.lock();
        if (fds[0].revents & POLLIN) {
            char drain[64];
            while (::read(wake_[0], drain, sizeof drain) > 0) {}
        }
        if (master_ >= 0 && (fds[1].revents & POLLIN)) take_input();
    }
}

} // namespace xkv::test
