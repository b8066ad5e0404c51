#include "cli/cli.h"
#include "cli/commands.h"
#include "settings/program_dir.h"

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <csignal>
#include <iostream>
#include <thread>

namespace {

std::atomic<bool> interrupted{false};

extern "C" void on_interrupt(int) { interrupted = true; }

// Ctrl-C, a kill and a closed terminal all mean: stop the instrument, keep what was counted, save it.
void handle_interrupts() {
    struct sigaction action {};
    action.sa_handler = on_interrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    // A reader that went away (a pipe to a pager closed by the same Ctrl-C) must not end the run
    // before its rows are saved: writes fail instead.
    std::signal(SIGPIPE, SIG_IGN);
}

// A drawing function of the chart module beside the executable; the handle stays open until the
// process ends.
void* chart_function(const std::string& dir, const char* name) {
    const std::string module = xkv::cli::chart_module_path(dir);
    void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) throw std::runtime_error(std::string("cannot draw charts: ") + dlerror());
    void* function = dlsym(handle, name);
    if (!function) throw std::runtime_error(std::string("cannot draw charts: ") + dlerror());
    return function;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_TIME, ""); // reports carry the date in the operator's short format
    handle_interrupts();
    xkv::cli::environment env;
    env.executable_dir = xkv::executable_directory();
    env.wait = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    env.interrupted = &interrupted;
    // Charts are drawn by the window library, in a module that only the commands that draw load
    // (beside the executable in a build tree, in the library folder when installed).
    env.save_chart = [dir = env.executable_dir](const xkv::chart_data& chart, const std::string& png_file) {
        using draw_fn = int (*)(const xkv::chart_data*, const char*, std::string*);
        const auto draw = reinterpret_cast<draw_fn>(chart_function(dir, "xkv_save_chart_png"));
        std::string error;
        if (draw(&chart, png_file.c_str(), &error) != 0) throw std::runtime_error(error);
    };
    env.save_plateau = [dir = env.executable_dir](const xkv::plateau_analysis& plateau, int channel,
                                                  const std::string& png_file) {
        using draw_fn = int (*)(const xkv::plateau_analysis*, int, const char*, std::string*);
        const auto draw = reinterpret_cast<draw_fn>(chart_function(dir, "xkv_save_plateau_png"));
        std::string error;
        if (draw(&plateau, channel, png_file.c_str(), &error) != 0) throw std::runtime_error(error);
    };
    return xkv::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, env);
}
