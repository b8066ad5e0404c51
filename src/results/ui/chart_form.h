#pragma once
// The trend and control chart of the viewer's listing: one numeric column against the date, the
// mean and the 2- and 3-sigma lines, points beyond 3 sigma marked, error bars on activities.
// Everything drawn comes from chart_data; this only paints it.

#include "results/chart_stats.h"
#include "settings/ui_services.h"

#include <QChartView>
#include <QDialog>

#include <string>
#include <vector>

class QComboBox;

namespace xkv {

class chart_canvas : public QChartView {
    Q_OBJECT
public:
    explicit chart_canvas(QWidget* parent = nullptr);
    void show_chart(const chart_data& chart);
    const chart_data& chart_shown() const { return chart_; }

protected:
    // The error bars, over the plotted points.
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    chart_data chart_;
};

class TChartForm : public QDialog {
    Q_OBJECT
public:
    // `listing`: the viewer's grid, row 0 the headers; it must outlive the window. `more`: charts
    // offered after the listing's columns (the QC records').
    TChartForm(QWidget* parent, const text_table& listing, ui_services& services, std::vector<named_chart> more = {});

    // Shows the chart of `column` (a table column name); an unknown name changes nothing.
    void show_column(const std::string& column);
    std::string column() const; // the column shown
    const chart_canvas& canvas() const { return *canvas_; }

public slots:
    void ComboBox1Change();
    void Button1Click(); // Save PNG
    void Button2Click(); // CLOSE

private:
    const text_table& listing_;
    ui_services& services_;
    std::vector<named_chart> more_;
    QComboBox* ComboBox1_ = nullptr;
    chart_canvas* canvas_ = nullptr;
};

// The chart drawn at `width` x `height` into a PNG file, without showing a window (a
// QApplication must exist). Throws file_error when the file cannot be written.
void save_chart_png(const chart_data& chart, const std::string& file_name, int width = 1000, int height = 600);

} // namespace xkv
