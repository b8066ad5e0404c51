#include "lab/ui/plateau_canvas.h"

#include "settings/errors.h"
#include "settings/value_text.h"

#include <QLineSeries>
#include <QSaveFile>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>

namespace xkv {

namespace {

const char* const channel_names[] = {"alpha", "beta"};

} // namespace

plateau_canvas::plateau_canvas(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(640, 400);
    show_analysis({}, 0);
}

void plateau_canvas::show_analysis(const plateau_analysis& a, int channel) {
    auto* chart = new QChart;
    chart->setTitle(QString("HV plateau, %1 rate").arg(channel_names[channel == 1 ? 1 : 0]));
    auto* curve = new QLineSeries;
    curve->setName("rate");
    auto* points = new QScatterSeries;
    points->setName("counted");
    points->setMarkerSize(8);
    for (const plateau_point& p : a.points) {
        curve->append(p.voltage, p.rate);
        points->append(p.voltage, p.rate);
    }
    chart->addSeries(curve);
    chart->addSeries(points);
    if (a.found) {
        auto* plateau = new QLineSeries;
        plateau->setName("plateau");
        QPen pen(QColor(0, 140, 60));
        pen.setWidth(5);
        plateau->setPen(pen);
        for (std::size_t i = a.first; i <= a.last; ++i) plateau->append(a.points[i].voltage, a.points[i].rate);
        chart->addSeries(plateau);
        auto* operating = new QScatterSeries;
        operating->setName("operating voltage " + QString::fromStdString(format_general(a.operating_voltage)) + " V");
        operating->setColor(QColor(200, 0, 0));
        operating->setMarkerSize(14);
        for (const plateau_point& p : a.points)
            if (p.voltage == a.operating_voltage) operating->append(p.voltage, p.rate);
        chart->addSeries(operating);
    }
    auto* x = new QValueAxis;
    x->setTitleText("high voltage (V)");
    x->setLabelFormat("%.0f");
    auto* y = new QValueAxis;
    y->setTitleText("count rate (1/s)");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    if (!a.points.empty()) {
        double lo = a.points.front().voltage, hi = a.points.back().voltage, top = 0;
        for (const plateau_point& p : a.points) top = std::max(top, p.rate);
        if (hi <= lo) hi = lo + 1;
        x->setRange(lo - (hi - lo) * 0.05, hi + (hi - lo) * 0.05);
        y->setRange(0, top > 0 ? top * 1.1 : 1);
        x->applyNiceNumbers();
        y->applyNiceNumbers();
    }
    QChart* old = QChartView::chart();
    setChart(chart);
    delete old;
}

void write_plateau_png(plateau_canvas& canvas, const std::string& file_name) {
    QSaveFile out(QString::fromStdString(file_name));
    if (!out.open(QIODevice::WriteOnly) || !canvas.grab().save(&out, "PNG") || !out.commit())
        throw file_error("Cannot write file \"" + file_name + "\". " + out.errorString().toStdString());
}

void save_plateau_png(const plateau_analysis& analysis, int channel, const std::string& file_name, int width,
                      int height) {
    plateau_canvas canvas;
    canvas.resize(width, height);
    canvas.show_analysis(analysis, channel);
    write_plateau_png(canvas, file_name);
}

} // namespace xkv
