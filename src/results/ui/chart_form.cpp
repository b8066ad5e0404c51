#include "results/ui/chart_form.h"

#include "results/viewer_query.h"
#include "settings/errors.h"
#include "ui/qt_text.h"

#include <QCategoryAxis>
#include <QComboBox>
#include <QDateTime>
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
#include <array>
#include <cmath>
#include <vector>

namespace xkv {

namespace {

// Written beside the target and renamed over it when complete.
void write_png(const QPixmap& picture, const std::string& file_name) {
    QSaveFile file(QString::fromStdString(file_name));
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG") || !file.commit())
        throw file_error("Cannot write file \"" + file_name + "\". " + file.errorString().toStdString());
}

double x_of(const control_point& p) { return static_cast<double>(p.seconds); }

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

// One colour per series, apart from the green, orange and red of the control lines.
constexpr std::size_t palette_size = 10;
QColor series_colour(std::size_t series) {
    static const std::array<QColor, palette_size> palette = {
        QColor(31, 119, 180), QColor(148, 103, 189), QColor(140, 86, 75),   QColor(227, 119, 194), QColor(23, 190, 207),
        QColor(0, 0, 128),    QColor(188, 189, 34),  QColor(127, 127, 127), QColor(0, 128, 128),   QColor(128, 0, 64)};
    return palette[series % palette.size()];
}

// A legend of more series than this would crowd out the chart; the rest keep their colours.
constexpr std::size_t legend_series = 12;

} // namespace

chart_canvas::chart_canvas(QWidget* parent) : QChartView(parent) {
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(640, 400);
}

void chart_canvas::show_chart(const chart_data& shown) {
    chart_ = shown;
    const chart_data& chart = chart_;
    auto* c = new QChart;
    // A decimated chart says so, in the window and in the picture.
    const std::string note = decimation_note(chart);
    c->setTitle(qt_text(note.empty() ? chart.title : chart.title + "  (" + note + ")"));
    double x0 = 0, x1 = 0, y0 = chart.lines.lower(3), y1 = chart.lines.upper(3);
    if (!chart.points.empty()) {
        x0 = x1 = x_of(chart.points.front());
        for (const control_point& p : chart.points) {
            x0 = std::min(x0, x_of(p));
            x1 = std::max(x1, x_of(p));
            y0 = std::min(y0, p.value - p.error);
            y1 = std::max(y1, p.value + p.error);
        }
    }
    // A single time or a single value still gets a visible range.
    if (x1 <= x0) x0 -= 3600, x1 += 3600;
    // The first and last points keep their markers and error bars inside the plot.
    const double x_pad = (x1 - x0) * 0.03;
    if (y1 <= y0) y0 -= 1, y1 += 1;
    const double y_pad = (y1 - y0) * 0.08;
    const time_ticks times =
        round_time_ticks(static_cast<long long>(std::floor(x0 - x_pad)), static_cast<long long>(std::ceil(x1 + x_pad)),
                         5); // five marks leave room for whole labels
    const axis_ticks values = round_number_ticks(y0 - y_pad, y1 + y_pad);
    x0 = static_cast<double>(times.low);
    x1 = static_cast<double>(times.high);

    // The trend in time order, behind the points.
    std::vector<const control_point*> in_time;
    for (const control_point& p : chart.points) in_time.push_back(&p);
    std::stable_sort(in_time.begin(), in_time.end(),
                     [](const control_point* a, const control_point* b) { return a->seconds < b->seconds; });
    auto* trend = new QLineSeries;
    trend->setName("trend");
    for (const control_point* p : in_time) trend->append(x_of(*p), p->value);
    trend->setPen(QPen(QColor(170, 170, 170), 1));

    // The legend's series each get their own points; the rest share one unnamed set per colour, so a
    // listing of many series stays a chart of a few dozen sets.
    std::vector<QScatterSeries*> series;
    const std::size_t drawn = std::min(chart.series.size(), legend_series + palette_size);
    for (std::size_t i = 0; i < drawn; ++i) {
        auto* points = new QScatterSeries;
        if (i < legend_series) points->setName(qt_text(chart.series[i]));
        points->setMarkerSize(8);
        points->setColor(series_colour(i));
        points->setBorderColor(series_colour(i).darker(130));
        series.push_back(points);
    }
    const auto drawn_in = [&](std::size_t i) {
        return i < legend_series ? i : legend_series + (i - legend_series) % palette_size;
    };
    auto* beyond = new QScatterSeries;
    beyond->setName("beyond 3 sigma");
    beyond->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    beyond->setMarkerSize(13);
    beyond->setColor(Qt::red);
    for (const control_point& p : chart.points) {
        if (p.series < chart.series.size()) series[drawn_in(p.series)]->append(x_of(p), p.value);
        if (p.beyond_3_sigma) beyond->append(x_of(p), p.value);
    }

    const control_lines& l = chart.lines;
    std::vector<QAbstractSeries*> all = {trend,
                                         level_line("mean", l.mean, x0, x1, QColor(0, 140, 0), Qt::SolidLine),
                                         level_line("2 sigma", l.upper(2), x0, x1, QColor(230, 140, 0), Qt::DashLine),
                                         level_line("-2 sigma", l.lower(2), x0, x1, QColor(230, 140, 0), Qt::DashLine),
                                         level_line("3 sigma", l.upper(3), x0, x1, QColor(200, 0, 0), Qt::DashDotLine),
                                         level_line("-3 sigma", l.lower(3), x0, x1, QColor(200, 0, 0), Qt::DashDotLine),
                                         beyond};
    all.insert(all.end(), series.begin(), series.end());

    // Marks on round times, labelled in UTC like the listing's dates.
    auto* x_axis = new QCategoryAxis;
    x_axis->setTitleText("date (UTC)");
    x_axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x_axis->setRange(x0, x1);
    x_axis->setStartValue(x0);
    for (const time_tick& t : times.marks) x_axis->append(qt_text(t.label), static_cast<double>(t.seconds));
    auto* y_axis = new QValueAxis;
    y_axis->setTitleText(qt_text(chart.title));
    y_axis->setRange(values.low, values.high);
    y_axis->setTickType(QValueAxis::TicksDynamic);
    y_axis->setTickAnchor(values.low);
    y_axis->setTickInterval(values.step);
    y_axis->setLabelFormat("%g");
    c->addAxis(x_axis, Qt::AlignBottom);
    c->addAxis(y_axis, Qt::AlignLeft);
    for (QAbstractSeries* s : all) {
        c->addSeries(s);
        s->attachAxis(x_axis);
        s->attachAxis(y_axis);
    }
    // One legend entry per pair of sigma lines, and no more series than the legend has room for.
    std::vector<QAbstractSeries*> unlisted = {all[3], all[5]};
    if (beyond->count() == 0) unlisted.push_back(beyond);
    for (std::size_t i = legend_series; i < series.size(); ++i) unlisted.push_back(series[i]);
    for (QAbstractSeries* s : unlisted)
        for (QLegendMarker* marker : c->legend()->markers(s)) marker->setVisible(false);
    c->legend()->setAlignment(Qt::AlignRight);
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
        const QPointF top = chart()->mapToScene(chart()->mapToPosition(QPointF(x_of(p), p.value + p.error), series));
        const QPointF bottom = chart()->mapToScene(chart()->mapToPosition(QPointF(x_of(p), p.value - p.error), series));
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
    const QVariant choice = ComboBox1_->currentData();
    if (choice.typeId() == QMetaType::Int) {
        canvas_->show_chart(more_.at(static_cast<std::size_t>(choice.toInt())).chart);
        return;
    }
    const chart_data chart = chart_of_listing(listing_, choice.toString().toStdString());
    canvas_->show_chart(decimated(chart, std::max(canvas_->width(), chart_png_width)));
}

std::string TChartForm::column() const { return ComboBox1_->currentData().toString().toStdString(); }

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
