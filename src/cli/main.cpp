#include "cli/cli.h"
#include "settings/program_dir.h"

#include <atomic>
#include <chrono>
#include <clocale>
#include <csignal>
#include <iostream>
#include <thread>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void on_sigint(int) { interrupted = true; }

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, ""); // reports carry the date in the operator's short format
    std::signal(SIGINT, on_sigint);
    xkv::cli::environment env;
    env.executable_dir = xkv::executable_directory();
    env.wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    env.interrupted = &interrupted;
    return xkv::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, env);
}
