#pragma once
// Runs xkv4410-cli as a process of its own on a program directory, its output kept in files.
//
//   test::cli_process push(dir.path(), {"db", "push"});
//   push.kill(SIGKILL);                 // cut short wherever it is
//   const auto r = push.finish();       // r.exit_code, r.signal, r.out, r.err
//
// The destructor kills a process that is still running.

#include "support/temp_dir.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace xkv::test {

#ifdef XKV_BIN_DIR
inline const char* const default_cli_program = XKV_BIN_DIR "/xkv4410-cli";
#else
inline const char* const default_cli_program = "xkv4410-cli";
#endif

struct cli_exit {
    int exit_code = -1; // -1 when it ended by a signal
    int signal = 0;
    std::string out, err;
};

class cli_process {
public:
    cli_process(const std::string& program_dir, std::vector<std::string> args,
                std::string program = default_cli_program);
    ~cli_process();
    cli_process(const cli_process&) = delete;
    cli_process& operator=(const cli_process&) = delete;

    void kill(int signal);
    // Waits for the end (at most a minute, then SIGKILL) and reads its output.
    cli_exit finish();

private:
    temp_dir files_;
    pid_t pid_ = -1;
};

// Runs the command to its end.
cli_exit run_cli(const std::string& program_dir, std::vector<std::string> args,
                 std::string program = default_cli_program);

} // namespace xkv::test
