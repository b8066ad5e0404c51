#include "app/program_dir.h"
#include "cli/cli.h"
#ifdef XKV_CLI_CHARTS
#include "results/ui/chart_form.h"

#include <QApplication>
#endif

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
#ifdef XKV_CLI_CHARTS
    // The chart is drawn by the window library on its offscreen platform: no display is needed.
    env.save_chart = [](const xkv::chart_data& chart, const std::string& png_file) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "xkv4410-cli";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        xkv::save_chart_png(chart, png_file);
    };
#endif
    return xkv::cli::run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr, env);
}
