#pragma once
// The run window's live chart: alpha and beta of every counter tick against the elapsed time of
// the series, drawn from run_chart_data.

#include "measurement/run_chart.h"

#include <QChartView>

class QLineSeries;
class QValueAxis;

namespace xkv {

class run_chart_view : public QChartView {
    Q_OBJECT
public:
    explicit run_chart_view(QWidget* parent = nullptr);

    void clear(std::int32_t preset_time, std::int32_t series_total);
    void add(const channel_sample& sample);

    const run_chart_data& data() const { return data_; }
    const QLineSeries* alpha_series() const { return alpha_; }
    const QLineSeries* beta_series() const { return beta_; }

private:
    void update_axes();

    run_chart_data data_;
    QLineSeries* alpha_ = nullptr;
    QLineSeries* beta_ = nullptr;
    QValueAxis* time_axis_ = nullptr;
    QValueAxis* value_axis_ = nullptr;
};

} // namespace xkv
