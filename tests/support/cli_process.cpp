#include "support/cli_process.h"

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace xkv::test {

cli_process::cli_process(const std::string& program_dir, std::vector<std::string> args, std::string program) {
    args.insert(args.begin(), {program, "--dir", program_dir});
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = files_.file("out"), err = files_.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int failed = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cli_process: cannot start " + program);
}

cli_process::~cli_process() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

void cli_process::kill(int signal) {
    if (pid_ > 0) ::kill(pid_, signal);
}

cli_exit cli_process::finish() {
    cli_exit r;
    int status = 0;
    for (int waited_ms = 0; pid_ > 0; waited_ms += 5) {
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            if (WIFEXITED(status)) r.exit_code = WEXITSTATUS(status);
            if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
            break;
        }
        if (waited_ms == 60000) ::kill(pid_, SIGKILL); // reported as a signal, never a hang
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    r.out = read_file(files_.file("out"));
    r.err = read_file(files_.file("err"));
    return r;
}

cli_exit run_cli(const std::string& program_dir, std::vector<std::string> args, std::string program) {
    return cli_process(program_dir, std::move(args), std::move(program)).finish();
}

} // namespace xkv::test
