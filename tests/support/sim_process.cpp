#include "support/sim_process.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace xkv::test {

namespace {

constexpr int start_limit_ms = 5000;
constexpr int term_limit_ms = 3000;
constexpr auto poll_step = std::chrono::milliseconds(5);

} // namespace

sim_process::sim_process(std::vector<std::string> extra_args, std::string program)
    : link_(dir_.file("link")), log_path_(dir_.file("sim.log")) {
    std::vector<std::string> args{program, "--link", link_, "--log", log_path_};
    args.insert(args.end(), extra_args.begin(), extra_args.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("sim_process: fork failed");
    if (pid_ == 0) {
        // A test that dies must not leave its simulator behind.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) ::_exit(127);
        if (const int null = ::open("/dev/null", O_WRONLY); null >= 0) ::dup2(null, STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    for (int waited = 0; waited < start_limit_ms; waited += 5) {
        std::error_code ec;
        if (std::filesystem::is_symlink(link_, ec)) return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            throw std::runtime_error("sim_process: " + program + " ended before making its link");
        }
        std::this_thread::sleep_for(poll_step);
    }
    kill();
    throw std::runtime_error("sim_process: no link from " + program);
}

sim_process::~sim_process() {
    if (!terminate()) kill();
}

bool sim_process::wait_exit(int limit_ms) {
    for (int waited = 0; waited <= limit_ms; waited += 5) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return true;
        }
        std::this_thread::sleep_for(poll_step);
    }
    return false;
}

bool sim_process::terminate() {
    if (pid_ <= 0) return true;
    ::kill(pid_, SIGTERM);
    return wait_exit(term_limit_ms);
}

void sim_process::kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0); // SIGKILL can't be refused
    pid_ = -1;
}

std::string sim_process::log() const { return read_file(log_path_); }

std::vector<std::string> sim_process::commands() const {
    std::vector<std::string> lines;
    std::istringstream in(log());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool sim_process::wait_logged(const std::string& line) const {
    for (int waited = 0; waited < term_limit_ms; waited += 5) {
        const auto logged = commands();
        if (!logged.empty() && logged.back() == line) return true;
        std::this_thread::sleep_for(poll_step);
    }
    return false;
}

} // namespace xkv::test
