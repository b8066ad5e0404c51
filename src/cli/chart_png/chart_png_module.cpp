// The CLI's chart drawing, loaded only by the chart command: the window library stays out of
// every other command's start-up.

#include "lab/ui/plateau_canvas.h"
#include "results/ui/chart_form.h"

#include <QApplication>

#include <exception>
#include <string>

namespace {

template <class Draw>
int draw_offscreen(const Draw& draw, std::string* error) {
    try {
        // The offscreen platform: no display is needed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "xkv4410-cli";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        draw();
        return 0;
    } catch (const std::exception& e) {
        *error = e.what();
        return 1;
    }
}

} // namespace

extern "C" int xkv_save_chart_png(const xkv::chart_data* chart, const char* file_name, std::string* error) {
    return draw_offscreen([&] { xkv::save_chart_png(*chart, file_name); }, error);
}

extern "C" int xkv_save_plateau_png(const xkv::plateau_analysis* analysis, int channel, const char* file_name,
                                    std::string* error) {
    return draw_offscreen([&] { xkv::save_plateau_png(*analysis, channel, file_name); }, error);
}
