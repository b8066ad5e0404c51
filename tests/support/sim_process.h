#pragma once
// Runs the simulated instrument (xkv4410-sim) for one test and ends it with the test.
//
//   test::sim_process sim({"--speed", "100", "--alpha", "4"});
//   t_xkv link(1, 9600, sim.port_devices(1));   // "COM1" is the simulator's pty
//   ...
//   sim.commands();   // the command lines it received, in order
//   sim.kill();       // the instrument vanishes (SIGKILL), e.g. in the middle of a run
//
// The constructor waits (at most 5 s) until the simulator's link exists and throws otherwise.
// The destructor stops it with SIGTERM (SIGKILL if it lingers) and removes its files.

#include "support/temp_dir.h"

#include <cstdint>
#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace xkv::test {

#ifdef XKV_BIN_DIR
inline const char* const default_sim_program = XKV_BIN_DIR "/xkv4410-sim";
#else
inline const char* const default_sim_program = "xkv4410-sim";
#endif

class sim_process {
public:
    explicit sim_process(std::vector<std::string> extra_args = {}, std::string program = default_sim_program);
    ~sim_process();
    sim_process(const sim_process&) = delete;
    sim_process& operator=(const sim_process&) = delete;

    // The symlink to the simulator's pty, and the "PORTS" mapping that makes it "COM<port>".
    const std::string& link_path() const { return link_; }
    std::map<std::int32_t, std::string> port_devices(std::int32_t port = 1) const { return {{port, link_}}; }

    // The simulator's --log: every command line it received, each ended by LF.
    std::string log() const;
    std::vector<std::string> commands() const;
    // Waits (at most 3 s) until the last command logged is `line`; a command the program has just
    // written may not have been read by the simulator yet.
    bool wait_logged(const std::string& line) const;

    // Ends the simulator at once with SIGKILL; its pty disappears under the program.
    void kill();
    // Ends it with SIGTERM as an operator would; false if it did not end in time.
    bool terminate();
    bool running() const { return pid_ > 0; }

private:
    bool wait_exit(int limit_ms);

    temp_dir dir_;
    std::string link_;
    std::string log_path_;
    pid_t pid_ = -1;
};

} // namespace xkv::test
