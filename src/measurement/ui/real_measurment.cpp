#include "measurement/ui/real_measurment.h"

#include "app/session.h"
#include "lab/calibrations_at_save.h"
#include "lab/qc_marks.h"
#include "measurement/parameter_sets.h"
#include "measurement/run_window_rules.h"
#include "measurement/ui/run_chart_view.h"
#include "results/counter_qc.h"
#include "results/report_output.h"
#include "results/run_grid.h"
#include "results/save_results.h"
#include "results/store_writable.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"
#include "ui/error_box.h"
#include "ui/named_button.h"
#include "ui/painting_wait.h"
#include "ui/qt_text.h"
#include "ui/remembered_layout.h"
#include "ui/text_grid_model.h"
#include "ui/window_placement.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace xkv {

namespace {

// The group box a label sits in.
enum class label_box {
    sample_info,
    parameters,
    values,
    time
};

// The window's labels in the order they are made, each with its box and the engine's text it shows.
struct run_label {
    const char* object_name;
    label_box box;
    std::string run_labels::*text;
};
constexpr run_label run_label_rows[] = {
    {"label_sample_id", label_box::sample_info, &run_labels::sample_id},
    {"label_description", label_box::sample_info, &run_labels::description},
    {"label_caption", label_box::parameters, &run_labels::set_caption},
    {"label_alpha", label_box::parameters, &run_labels::alpha_efficiency},
    {"label_beta", label_box::parameters, &run_labels::beta_efficiency},
    {"label_alpha_uncertainty", label_box::parameters, &run_labels::alpha_uncertainty},
    {"label_beta_uncertainty", label_box::parameters, &run_labels::beta_uncertainty},
    {"label_transfer_factor", label_box::parameters, &run_labels::transfer_factor},
    {"label_k", label_box::parameters, &run_labels::k},
    {"label_background", label_box::parameters, &run_labels::background},
    {"label_alpha_value", label_box::values, &run_labels::alpha_value},
    {"label_beta_value", label_box::values, &run_labels::beta_value},
    {"label_preset_time", label_box::time, &run_labels::preset_time},
    {"label_measurement_time", label_box::time, &run_labels::measurement_time},
    {"label_remaining_time", label_box::time, &run_labels::remaining_time},
    {"label_current_count", label_box::time, &run_labels::current_count},
    {"label_total_count", label_box::time, &run_labels::total_count},
};

// The buttons from left to right, each with its handler and the engine's flag that enables it.
struct run_button {
    const char* object_name;
    const char* caption;
    void (Treal_measurment::*handler)();
    bool run_buttons::*enabled;
};
constexpr run_button run_button_rows[] = {
    {"Button1", "STOP", &Treal_measurment::Button1Click, &run_buttons::stop},
    {"Button2", "START", &Treal_measurment::Button2Click, &run_buttons::start},
    {"Button3", "ABORT", &Treal_measurment::Button3Click, &run_buttons::abort},
    {"Button4", "SAVE", &Treal_measurment::Button4Click, &run_buttons::save},
    {"Button5", "CLOSE", &Treal_measurment::Button5Click, &run_buttons::close},
    {"Button6", "PRINT REPORT", &Treal_measurment::Button6Click, &run_buttons::print_report},
};

void show_gauge(QProgressBar* bar, std::int64_t value, std::int64_t maximum) {
    const gauge_values g = gauge_of(value, maximum);
    bar->setMaximum(g.maximum);
    bar->setValue(g.value);
}

} // namespace

Treal_measurment::Treal_measurment(QWidget* parent, session& state, ui_services& services, run_engine::wait_fn wait)
    : QDialog(parent), session_(state), services_(services), wait_(std::move(wait)) {
    setObjectName("real_measurment");
    setWindowTitle("measurment");
    setModal(true);
    build();
}

Treal_measurment::~Treal_measurment() = default;

void Treal_measurment::build() {
    labels_.resize(std::size(run_label_rows));
    const auto group = [this](const char* title, label_box which) {
        auto* box = new QGroupBox(title, this);
        auto* layout = new QVBoxLayout(box);
        layout->setSpacing(2);
        for (std::size_t i = 0; i < labels_.size(); ++i) {
            if (run_label_rows[i].box != which) continue;
            labels_[i] = new QLabel(box);
            labels_[i]->setObjectName(run_label_rows[i].object_name);
            labels_[i]->setMinimumWidth(220);
            layout->addWidget(labels_[i]);
        }
        return box;
    };
    auto* left = new QVBoxLayout;
    left->addWidget(group("SAMPLE INFO", label_box::sample_info));
    left->addWidget(group("Measurment Parameters", label_box::parameters));
    left->addStretch();

    auto* middle = new QVBoxLayout;
    QGroupBox* values = group("VALUES", label_box::values);
    // The values in large bold.
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        if (run_label_rows[i].box != label_box::values) continue;
        QFont big = labels_[i]->font();
        big.setPointSize(big.pointSize() + 3);
        big.setBold(true);
        labels_[i]->setFont(big);
    }
    middle->addWidget(values);
    QGroupBox* time = group("TIME", label_box::time);
    const auto gauge = [time](const char* caption, const char* name) {
        time->layout()->addWidget(new QLabel(caption, time));
        auto* bar = new QProgressBar(time);
        bar->setObjectName(name);
        time->layout()->addWidget(bar);
        return bar;
    };
    measurement_gauge_ = gauge("Measurment progress", "ProgressBar1");
    total_gauge_ = gauge("Total progress", "ProgressBar2");
    middle->addWidget(time);
    // The counter's daily QC before START, in a line of its own.
    qc_line_ = new QLabel(this);
    qc_line_->setObjectName("label_qc_state");
    qc_line_->setWordWrap(true);
    qc_line_->setTextFormat(Qt::PlainText);
    middle->addWidget(qc_line_);
    // The counter's chi-square check once a series in a counter mode has ended.
    counter_qc_ = new QLabel(this);
    counter_qc_->setObjectName("label_counter_qc");
    counter_qc_->setWordWrap(true);
    counter_qc_->setTextFormat(Qt::PlainText);
    middle->addWidget(counter_qc_);
    middle->addStretch();

    chart_ = new run_chart_view(this);
    chart_->setObjectName("Chart1");
    chart_->setFocusPolicy(Qt::NoFocus); // Tab goes from the grid to the buttons

    auto* upper = new QHBoxLayout;
    upper->addLayout(left);
    upper->addLayout(middle);
    upper->addWidget(chart_, 1);

    grid_ = new text_grid_model(this);
    Output_ = new QTableView(this);
    Output_->setObjectName("Output");
    Output_->setModel(grid_);
    Output_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Output_->verticalHeader()->setVisible(false);
    Output_->verticalHeader()->setDefaultSectionSize(Output_->fontMetrics().height() + 6);
    Output_->setMinimumHeight(120);

    auto* row = new QHBoxLayout;
    for (const run_button& b : run_button_rows) {
        QPushButton* button = named_button(this, b.object_name, b.caption);
        button->setEnabled(false);
        connect(button, &QPushButton::clicked, this, b.handler);
        row->addWidget(button);
        buttons_.push_back(button);
    }

    auto* top = new QVBoxLayout(this);
    top->addLayout(upper, 3);
    top->addWidget(Output_, 2);
    top->addLayout(row);
    resize(1180, 720);

    Timer1_ = new QTimer(this);
    Timer1_->setObjectName("Timer1");
    Timer1_->setSingleShot(true);
    Timer1_->setInterval(tick_interval_ms);
    connect(Timer1_, &QTimer::timeout, this, &Treal_measurment::Timer1Timer);
}

void Treal_measurment::open_run(const run_setup& setup) {
    Timer1_->stop();
    engine_ = std::make_unique<run_engine>(session_.options, session_.profile, setup, session_.file(calibration_file),
                                           wait_, &session_.log);
    engine_->on_channels([this](const channel_sample& s) { chart_->add(s); });
    show_qc_state();
    engine_->set_link_wait(painting_wait);
    // Before each fixed wait the window shows what the run has reached: labels set, buttons off.
    engine_->on_render([this] { render(); });
    shown_set_ = button_set::none;
    show_buttons(buttons_of(button_set::none)); // nothing to press while the run prepares
    grid_shown_ = false;
    clear_chart();
    render();
    restore_window(*this, false); // centred as always, in the size the operator left it
    show();
    place_on_screen(*this);
    // The opening runs once the window is on the screen, so it paints through the settings wait.
    QTimer::singleShot(0, this, &Treal_measurment::FormShow);
}

void Treal_measurment::FormShow() {
    if (!idle() || engine_->state() != run_state::preparing) return;
    {
        const busy_scope busy(busy_);
        engine_->open();
        clear_chart(); // the time axis spans the preset time from now on
        render();
        show_notices();
    }
    if (engine_->state() == run_state::closed) close();
}

void Treal_measurment::show_qc_state() {
    try {
        const std::string location = session_.database_path();
        const read_only_options read_only = session_.read_only;           // the worker reads its own copy
        painting_call([&] { qc_ = read_qc_state(location, read_only); }); // a server answers in its time
    } catch (const std::exception& e) { // the store cannot be read: QC cannot be shown current
        qc_ = {false, session_.read_only.qc.block, std::string("QC state unknown: ") + e.what()};
    }
    qc_line_->setText(qt_text(qc_.line));
    qc_line_->setStyleSheet(qc_.current ? QString() : QStringLiteral("color: #a00000;"));
}

void Treal_measurment::Button2Click() {
    if (!idle()) return;
    if (qc_.blocks_start()) {
        services_.show_message(qc_blocked_message);
        return;
    }
    // SAVE would fail after the count: say so before anything is counted.
    const std::string database = session_.database_path();
    if (const std::string problem = store_write_problem(database); !problem.empty()) {
        services_.show_error(store_not_writable_message(problem, database));
        return;
    }
    // The rows of the finished series were never saved: START would clear them.
    if (engine_->start_discards_rows() && !ask(start_question)) return;
    const busy_scope busy(busy_);
    engine_->start();
    Output_->scrollToTop();
    Output_->horizontalScrollBar()->setValue(0); // the grid starts again at its first column
    clear_chart();
    render();
    if (engine_->timer_on()) Timer1_->start();
    show_notices();
}

void Treal_measurment::Timer1Timer() {
    if (!engine_) return;
    if (busy_) { // a wait of another action is under way: tick once it is over
        Timer1_->start();
        return;
    }
    const busy_scope busy(busy_);
    const bool again = engine_->tick();
    render();
    if (again) Timer1_->start();
    show_notices();
}

void Treal_measurment::Button1Click() {
    if (!idle()) return;
    const busy_scope busy(busy_);
    Timer1_->stop();
    engine_->stop();
    render();
    if (engine_->timer_on()) Timer1_->start(); // offline: STOP does nothing and the count goes on
    show_notices();
}

void Treal_measurment::Button3Click() {
    if (!idle() || engine_->state() != run_state::counting) return;
    const bool ok = ask(abort_question);
    {
        // A count that ended behind the box is not aborted: its state stands as shown.
        const busy_scope busy(busy_);
        engine_->abort([ok](const std::string&) { return ok; });
    }
    show_notices();
    if (engine_->state() == run_state::closed) close();
}

void Treal_measurment::Button5Click() {
    if (!idle() || !buttons_of(engine_->buttons()).close) return;
    const bool ok = ask(close_question);
    {
        const busy_scope busy(busy_);
        engine_->close_run([ok](const std::string&) { return ok; });
    }
    show_notices();
    if (engine_->state() == run_state::closed) close();
}

bool Treal_measurment::ask(const char* question) {
    const busy_scope asking(asking_);
    return services_.confirm_ok_cancel(question, default_answer::cancel); // Enter keeps the data
}

void Treal_measurment::Button4Click() {
    if (!idle()) return;
    {
        const busy_scope busy(busy_);
        Timer1_->stop();
        const std::string database = session_.database_path();
        // A database error is thrown before anything is written: the window stays and SAVE may be pressed again.
        // A server may keep the store waiting (a bounded wait): the windows paint meanwhile.
        const std::string calibration_path = session_.file(calibration_file);
        const read_only_options read_only = session_.read_only;
        save_outcome saved = save_outcome::no_data;
        painting_call([&] {
            auto hooks = qc_mark_hooks(database, read_only);
            for (auto& hook : calibration_hooks(calibration_path)) hooks.push_back(std::move(hook));
            saved = save_results(engine_->table(), database, hooks);
        });
        if (saved == save_outcome::no_data) {
            services_.show_message(no_data_to_save);
            return;
        }
        engine_->close();
    }
    close();
}

void Treal_measurment::Button6Click() {
    if (!idle()) return;
    const busy_scope busy(busy_);
    const button_set before = engine_->buttons();
    show_buttons(run_buttons{});
    report_result result = report_result::cancelled;
    try {
        // The lab's values come from the store (a server answers in its time): the windows paint.
        report_sources sources;
        const cur_measurment& setup = engine_->measurement();
        painting_call([&] { sources = session_.report_sources_for(setup); });
        result = report_from_run(engine_->table(), sources, services_);
    } catch (...) {
        show_buttons(buttons_of(before));
        throw;
    }
    show_buttons(buttons_after_report(before, result == report_result::template_error));
}

void Treal_measurment::closeEvent(QCloseEvent* event) {
    if (!engine_) {
        event->accept();
        return;
    }
    if (busy_ || asking_) { // an action is under way (a wait, a question, a dialog): it must finish first
        event->ignore();
        return;
    }
    switch (title_bar_close_of(engine_->state(), engine_->buttons())) {
    case title_bar_close::as_close_button:
        event->ignore();
        QTimer::singleShot(0, this, &Treal_measurment::Button5Click);
        return;
    case title_bar_close::refuse: event->ignore(); return;
    case title_bar_close::close: break;
    }
    // FormClose: timer off, the link released, the setup dialog closed.
    remember_window(*this);
    if (grid_->columnCount() > 0) remember_header(*Output_->horizontalHeader(), "run");
    Timer1_->stop();
    engine_->close();
    session_.last_setup = engine_->measurement();
    engine_.reset();
    session_.changed(session_change::last_setup);
    event->accept();
    emit closed();
}

void Treal_measurment::reject() { close(); }

void Treal_measurment::render() {
    if (!engine_) return;
    setWindowTitle(qt_text(engine_->caption()));
    const run_labels& texts = engine_->labels();
    for (std::size_t i = 0; i < labels_.size(); ++i) show_plain(labels_[i], texts.*run_label_rows[i].text);
    const run_progress& p = engine_->progress();
    show_gauge(measurement_gauge_, p.measurement, p.measurement_max);
    show_gauge(total_gauge_, p.total, p.total_max);
    // Buttons follow the engine's set when it changes, so a report's own button states stay.
    if (engine_->buttons() != shown_set_) {
        shown_set_ = engine_->buttons();
        show_buttons(buttons_of(shown_set_));
    }
    counter_qc_->setText(engine_->state() == run_state::finished ? qt_text(run_chi_square_text(engine_->table()))
                                                                 : QString());
    // Redrawn whenever a shown text changes, not only the number of rows.
    auto table = show_table(engine_->table());
    if (!grid_shown_ || table != shown_table_) {
        grid_->set_grid(table);
        // The operator's column widths from last time, else widths from the contents.
        if (!header_restored_) header_restored_ = restore_header(*Output_->horizontalHeader(), "run");
        if (!header_restored_) Output_->resizeColumnsToContents();
        shown_table_ = std::move(table);
        grid_shown_ = true;
    }
}

void Treal_measurment::show_buttons(const run_buttons& b) {
    for (std::size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setEnabled(b.*run_button_rows[i].enabled);
}

void Treal_measurment::show_notices() {
    if (!engine_ || asking_) return; // shown once the question's box has closed
    for (const run_notice& n : engine_->take_notices()) {
        if (n.error)
            show_error_box(&services_, n.text);
        else
            services_.show_message(n.text);
    }
}

void Treal_measurment::clear_chart() {
    const cur_measurment& m = engine_->measurement();
    chart_->clear(m.preset_time, m.series_total);
}

} // namespace xkv
