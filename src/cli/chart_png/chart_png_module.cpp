// The CLI's chart drawing, loaded only by the chart command: the window library stays out of
// every other command's start-up.

#include "results/ui/chart_form.h"

#include <QApplication>

#include <exception>
#include <string>

extern "C" int xkv_save_chart_png(const xkv::chart_data* chart, const char* file_name, std::string* error) {
    try {
        // The offscreen platform: no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "xkv4410-cli";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        xkv::save_chart_png(*chart, file_name);
        return 0;
    } catch (const std::exception& e) {
        *error = e.what();
        return 1;
    }
}
