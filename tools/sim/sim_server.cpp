#include "sim_server.h"

#include "sim_instrument.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <iostream>
#include <random>
#include <string>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace xkv::sim {

namespace {

using clock = std::chrono::steady_clock;

constexpr std::size_t max_line = 65536; // a longer line is cut; the rest of it is ignored

struct pending_answer {
    clock::time_point due;
    std::string bytes;
};

// The pseudo-terminal pair and the symlink to its slave side, released in reverse order.
class pty_link {
public:
    explicit pty_link(const std::string& link) : link_(link) {}
    ~pty_link() {
        // Remove the symlink only while it still points at this simulator's terminal.
        std::array<char, 4096> target{};
        const ssize_t n = ::readlink(link_.c_str(), target.data(), target.size() - 1);
        if (linked_ && n > 0 && std::string(target.data(), static_cast<std::size_t>(n)) == slave_path_)
            ::unlink(link_.c_str());
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }

    bool open(std::string& error) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            error = std::string("no pseudo-terminal: ") + std::strerror(errno);
            return false;
        }
        slave_path_ = ::ptsname(master_);
        // Holding the slave side open keeps the master free of hang-ups while the program has the
        // port closed, so the program can close and reopen it as often as it likes.
        slave_ = ::open(slave_path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave_ < 0) {
            error = "cannot open " + slave_path_ + ": " + std::strerror(errno);
            return false;
        }
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
        struct stat st {};
        if (::lstat(link_.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = link_ + " exists and is not a symlink";
                return false;
            }
            ::unlink(link_.c_str()); // left behind by a simulator that was killed
        }
        if (::symlink(slave_path_.c_str(), link_.c_str()) != 0) {
            error = "cannot create " + link_ + ": " + std::strerror(errno);
            return false;
        }
        linked_ = true;
        return true;
    }

    int master() const { return master_; }
    const std::string& slave_path() const { return slave_path_; }

private:
    std::string link_;
    std::string slave_path_;
    int master_ = -1;
    int slave_ = -1;
    bool linked_ = false;
};

int termination_signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigprocmask(SIG_BLOCK, &set, nullptr);
    return ::signalfd(-1, &set, SFD_CLOEXEC | SFD_NONBLOCK);
}

double seconds_since(clock::time_point start) { return std::chrono::duration<double>(clock::now() - start).count(); }

} // namespace

int run_server(const sim_options& options) {
    std::signal(SIGPIPE, SIG_IGN);
    const int signals = termination_signals();
    if (signals < 0) {
        std::cerr << "xkv4410-sim: no signal descriptor: " << std::strerror(errno) << "\n";
        return 1;
    }
    pty_link pty(options.link);
    std::string error;
    if (!pty.open(error)) {
        std::cerr << "xkv4410-sim: " << error << "\n";
        return 1;
    }
    FILE* log = nullptr;
    if (!options.log.empty() && !(log = std::fopen(options.log.c_str(), "ab"))) {
        std::cerr << "xkv4410-sim: cannot open log " << options.log << ": " << std::strerror(errno) << "\n";
        return 1;
    }
    std::cout << "xkv4410-sim: " << options.link << " -> " << pty.slave_path() << std::endl;

    const clock::time_point start = clock::now();
    sim_instrument instrument(options);
    std::mt19937_64 delays(options.seed + 0x9e3779b97f4a7c15ULL);
    std::uniform_int_distribution<int> delay_ms(20, 50);
    std::deque<pending_answer> answers;
    std::string line, out;
    clock::time_point last_due = start;

    for (;;) {
        const auto now = clock::now();
        while (!answers.empty() && answers.front().due <= now) {
            out += answers.front().bytes;
            answers.pop_front();
        }
        while (!out.empty()) {
            const ssize_t n = ::write(pty.master(), out.data(), out.size());
            if (n <= 0) break; // the program's input queue is full; retry when there is room
            out.erase(0, static_cast<std::size_t>(n));
        }
        int wait = -1;
        if (!answers.empty())
            wait = static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(answers.front().due - now).count() + 1);
        pollfd fds[2] = {{signals, POLLIN, 0},
                         {pty.master(), static_cast<short>(POLLIN | (out.empty() ? 0 : POLLOUT)), 0}};
        if (::poll(fds, 2, wait) < 0 && errno != EINTR) break;
        if (fds[0].revents & POLLIN) break;
        if (!(fds[1].revents & POLLIN)) continue;

        std::array<char, 4096> chunk;
        const ssize_t n = ::read(pty.master(), chunk.data(), chunk.size());
        for (ssize_t i = 0; i < n; ++i) {
            if (chunk[i] != '\n') {
                if (line.size() < max_line) line.push_back(chunk[i]);
                continue;
            }
            if (log) {
                std::fwrite(line.data(), 1, line.size(), log);
                std::fputc('\n', log);
                std::fflush(log);
            }
            if (auto answer = instrument.handle(line, seconds_since(start))) {
                // Answers keep the order of their commands.
                last_due = std::max(clock::now() + std::chrono::milliseconds(delay_ms(delays)), last_due);
                answers.push_back({last_due, std::move(*answer)});
            }
            line.clear();
            if (instrument.hung_up()) break;
        }
        if (instrument.hung_up()) break; // unplugged: the terminal closes under the program's read
    }
    if (log) std::fclose(log);
    ::close(signals);
    return 0;
}

} // namespace xkv::sim
