#include "results/ui/chart_form.h"

#include "results/ui/qt_text.h"
#include "results/viewer_query.h"
#include "settings/errors.h"

#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>

namespace xkv {

namespace {

// Written beside the target and renamed over it when complete.
void write_png(const QPixmap& picture, const std::string& file_name) {
    QSaveFile file(QString::fromStdString(file_name));
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        throw file_error("Cannot write file \"" + file_name + "\". " + file.errorString().toStdString());
}

double msecs(const control_point& p) { return static_cast<double>(p.seconds) * 1000.0; }

QLineSeries* level_line(const QString& name, double y, double x0, double x1, QColor colour, Qt::PenStyle style) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->append(x0, y);
    line->append(x1, y);
    QPen pen(colour);
    pen.setWidth(2);
    pen.setStyle(style);
    line->setPen(pen);
    return line;
}

} // namespace

chart_canvas::chart_canvas(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(640, 400);
}

void chart_canvas::show_chart(const chart_data& data) {
    chart_ = data;
    const chart_data& chart = chart_;
    auto* c = new QChart;
    c->setTitle(qt_text(chart.title));
    double x0 = 0, x1 = 0, y0 = chart.lines.lower(3), y1 = chart.lines.upper(3);
    if (!chart.points.empty()) {
        x0 = x1 = msecs(chart.points.front());
        for (const control_point& p : chart.points) {
            x0 = std::min(x0, msecs(p));
            x1 = std::max(x1, msecs(p));
            y0 = std::min(y0, p.value - p.error);
            y1 = std::max(y1, p.value + p.error);
        }
    }
    // A single time or a single value still gets a visible range.
    if (x1 <= x0) x0 -= 3600e3, x1 += 3600e3;
    // The first and last points keep their markers and error bars inside the plot.
    const double x_pad = (x1 - x0) * 0.03;
    x0 -= x_pad, x1 += x_pad;
    if (y1 <= y0) y0 -= 1, y1 += 1;
    const double pad = (y1 - y0) * 0.08;

    auto* trend = new QLineSeries;
    trend->setName(qt_text(chart.title));
    auto* points = new QScatterSeries;
    points->setName("values");
    points->setMarkerSize(8);
    auto* beyond = new QScatterSeries;
    beyond->setName("beyond 3 sigma");
    beyond->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    beyond->setMarkerSize(13);
    beyond->setColor(Qt::red);
    for (const control_point& p : chart.points) {
        trend->append(msecs(p), p.value);
        (p.beyond_3_sigma ? beyond : points)->append(msecs(p), p.value);
    }
    QPen trend_pen(QColor(70, 110, 180));
    trend_pen.setWidth(1);
    trend->setPen(trend_pen);
    points->setColor(QColor(70, 110, 180));

    const control_lines& l = chart.lines;
    const std::array<QAbstractSeries*, 8> all = {
        trend,
        level_line("mean", l.mean, x0, x1, QColor(0, 140, 0), Qt::SolidLine),
        level_line("2 sigma", l.upper(2), x0, x1, QColor(230, 140, 0), Qt::DashLine),
        level_line("-2 sigma", l.lower(2), x0, x1, QColor(230, 140, 0), Qt::DashLine),
        level_line("3 sigma", l.upper(3), x0, x1, QColor(200, 0, 0), Qt::DashDotLine),
        level_line("-3 sigma", l.lower(3), x0, x1, QColor(200, 0, 0), Qt::DashDotLine),
        points,
        beyond};
    auto* x_axis = new QDateTimeAxis;
    x_axis->setFormat("yyyy-MM-dd hh:mm");
    x_axis->setTitleText("date");
    x_axis->setRange(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x0)),
                     QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x1)));
    auto* y_axis = new QValueAxis;
    y_axis->setTitleText(qt_text(chart.title));
    y_axis->setRange(y0 - pad, y1 + pad);
    c->addAxis(x_axis, Qt::AlignBottom);
    c->addAxis(y_axis, Qt::AlignLeft);
    for (QAbstractSeries* s : all) {
        c->addSeries(s);
        s->attachAxis(x_axis);
        s->attachAxis(y_axis);
    }
    // One legend entry per pair of sigma lines.
    for (QAbstractSeries* lower : {all[3], all[5]})
        for (QLegendMarker* marker : c->legend()->markers(lower)) marker->setVisible(false);
    QChart* old = QChartView::chart();
    setChart(c);
    delete old;
    viewport()->update();
}

void chart_canvas::drawForeground(QPainter* painter, const QRectF& rect) {
    QChartView::drawForeground(painter, rect);
    if (!chart_.error_bars || !chart() || chart()->series().isEmpty()) return;
    QAbstractSeries* series = chart()->series().front();
    painter->save();
    painter->setPen(QPen(QColor(70, 110, 180), 1.2));
    for (const control_point& p : chart_.points) {
        if (p.error <= 0) continue;
        const QPointF top = chart()->mapToScene(chart()->mapToPosition(QPointF(msecs(p), p.value + p.error), series));
        const QPointF bottom =
            chart()->mapToScene(chart()->mapToPosition(QPointF(msecs(p), p.value - p.error), series));
        painter->drawLine(top, bottom);
        painter->drawLine(top - QPointF(4, 0), top + QPointF(4, 0));
        painter->drawLine(bottom - QPointF(4, 0), bottom + QPointF(4, 0));
    }
    painter->restore();
}

TChartForm::TChartForm(QWidget* parent, const text_table& listing, ui_services& services, std::vector<named_chart> more)
    : QDialog(parent), listing_(listing), services_(services), more_(std::move(more)) {
    setObjectName("chart_form");
    setWindowTitle("Chart");
    ComboBox1_ = new QComboBox(this);
    ComboBox1_->setObjectName("ComboBox1");
    for (const std::string& column : chart_columns())
        ComboBox1_->addItem(qt_text(viewer_headers[viewer_column(column)]), QString::fromStdString(column));
    for (std::size_t i = 0; i < more_.size(); ++i) ComboBox1_->addItem(qt_text(more_[i].name), static_cast<int>(i));
    auto* save = new QPushButton("Save PNG", this);
    save->setObjectName("Button1");
    auto* close = new QPushButton("CLOSE", this);
    close->setObjectName("Button2");
    canvas_ = new chart_canvas(this);
    canvas_->setObjectName("Chart1");

    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel("Column : ", this));
    head->addWidget(ComboBox1_);
    head->addStretch();
    head->addWidget(save);
    head->addWidget(close);
    auto* top = new QVBoxLayout(this);
    top->addLayout(head);
    top->addWidget(canvas_, 1);
    resize(1000, 640);

    connect(ComboBox1_, &QComboBox::currentIndexChanged, this, &TChartForm::ComboBox1Change);
    connect(save, &QPushButton::clicked, this, &TChartForm::Button1Click);
    connect(close, &QPushButton::clicked, this, &TChartForm::Button2Click);
    // Activities first: the alpha activity is what a control chart is most often drawn of.
    const int activity = ComboBox1_->findData(QString("activity_l"));
    ComboBox1_->setCurrentIndex(activity);
    ComboBox1Change();
}

void TChartForm::show_column(const std::string& column) {
    const int i = ComboBox1_->findData(QString::fromStdString(column));
    if (i >= 0) ComboBox1_->setCurrentIndex(i);
}

void TChartForm::ComboBox1Change() {
    const QVariant data = ComboBox1_->currentData();
    if (data.typeId() == QMetaType::Int) {
        canvas_->show_chart(more_.at(static_cast<std::size_t>(data.toInt())).chart);
        return;
    }
    canvas_->show_chart(chart_of_listing(listing_, ComboBox1_->currentData().toString().toStdString()));
}

void TChartForm::Button1Click() {
    const auto file = services_.choose_save_file("PNG image|*.png", "png");
    if (!file) return;
    write_png(canvas_->grab(), *file);
    services_.show_message("file saved!");
}

void TChartForm::Button2Click() { close(); }

void save_chart_png(const chart_data& chart, const std::string& file_name, int width, int height) {
    chart_canvas canvas;
    canvas.resize(width, height);
    canvas.show_chart(chart);
    write_png(canvas.grab(), file_name);
}

} // namespace xkv
