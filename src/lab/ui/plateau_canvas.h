#pragma once
// The plateau curve as the window and the command line draw it: count rate against voltage, the
// plateau in green, the operating voltage in red.

#include "lab/plateau.h"

#include <QChartView>

#include <string>

namespace xkv {

// The curve of a scan, its plateau and operating point.
class plateau_canvas : public QChartView {
    Q_OBJECT
public:
    explicit plateau_canvas(QWidget* parent = nullptr);
    void show_analysis(const plateau_analysis& analysis, int channel);
};

// Written beside the target and renamed over it when complete.
void write_plateau_png(plateau_canvas& canvas, const std::string& file_name);
// The curve drawn at `width` x `height` into a PNG file, without a window (a QApplication must exist).
// Throws file_error when the file cannot be written.
void save_plateau_png(const plateau_analysis& analysis, int channel, const std::string& file_name, int width = 1000,
                      int height = 600);

} // namespace xkv
