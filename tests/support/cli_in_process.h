#pragma once
// The CLI run in the test's own process against a program directory: its exit code and what it
// printed on stdout and stderr.

#include "cli/cli.h"

#include <atomic>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace xkv::test {

struct outcome {
    int code = -1;
    std::string out, err;
};

// `wait` takes the run's fixed waits (none by default); `interrupted` is the Ctrl-C flag, if any.
inline outcome run_cli_in(
    const std::string& program_dir, std::vector<std::string> args, std::function<void(int)> wait = [](int) {},
    const std::atomic<bool>* interrupted = nullptr) {
    args.insert(args.begin(), {"--dir", program_dir});
    std::ostringstream out, err;
    const cli::environment env{program_dir, std::move(wait), interrupted, {}};
    const int code = cli::run(args, out, err, env);
    return {code, out.str(), err.str()};
}

} // namespace xkv::test
