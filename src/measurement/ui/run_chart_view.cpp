#include "measurement/ui/run_chart_view.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>

namespace xkv {

run_chart_view::run_chart_view(QWidget* parent) : QChartView(parent) {
    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignTop);
    alpha_ = new QLineSeries(chart);
    alpha_->setName("alpha");
    beta_ = new QLineSeries(chart);
    beta_->setName("beta");
    chart->addSeries(alpha_);
    chart->addSeries(beta_);
    time_axis_ = new QValueAxis(chart);
    time_axis_->setTitleText("elapsed time [s]");
    time_axis_->setLabelFormat("%g");
    value_axis_ = new QValueAxis(chart);
    value_axis_->setTitleText("value");
    value_axis_->setLabelFormat("%g");
    chart->addAxis(time_axis_, Qt::AlignBottom);
    chart->addAxis(value_axis_, Qt::AlignLeft);
    for (QLineSeries* s : {alpha_, beta_}) {
        s->setPointsVisible(true);
        s->attachAxis(time_axis_);
        s->attachAxis(value_axis_);
    }
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(320, 220);
    clear(0, 1);
}

void run_chart_view::clear(std::int32_t preset_time, std::int32_t series_total) {
    data_.clear(preset_time, series_total);
    alpha_->clear();
    beta_->clear();
    update_axes();
}

void run_chart_view::add(const channel_sample& sample) {
    const std::size_t alphas = data_.alpha().size(), betas = data_.beta().size();
    data_.add(sample);
    if (data_.alpha().size() > alphas) alpha_->append(data_.alpha().back().t, data_.alpha().back().value);
    if (data_.beta().size() > betas) beta_->append(data_.beta().back().t, data_.beta().back().value);
    update_axes();
}

void run_chart_view::update_axes() {
    time_axis_->setRange(0, data_.time_max());
    value_axis_->setRange(data_.value_min(), data_.value_max());
}

} // namespace xkv
