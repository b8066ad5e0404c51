#pragma once
// The measurement run window "measurment": sample and parameter labels, values, times, the two
// gauges, a live chart, the Output grid and STOP, START, ABORT, SAVE, CLOSE, PRINT REPORT. A thin
// view over run_engine: every handler calls the engine, renders its state and shows its notices;
// Timer1 is a single-shot 500 ms timer armed again whenever the engine's tick says so.

#include "lab/qc_state.h"
#include "measurement/run_engine.h"
#include "settings/ui_services.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace xkv {

struct session;
class run_chart_view;
class text_grid_model;

class Treal_measurment : public QDialog {
    Q_OBJECT
public:
    // `wait` is the engine's wait: the painting wait in the program, a fast one in tests.
    Treal_measurment(QWidget* parent, session& state, ui_services& services, run_engine::wait_fn wait);
    ~Treal_measurment() override;

    // Shows the window modally for a run of `setup`; the opening (FormShow) follows as it appears.
    void open_run(const run_setup& setup);

    // The running engine; null while the window is closed.
    const run_engine* engine() const { return engine_.get(); }

signals:
    void closed(); // the setup dialog closes with the run window

public slots:
    void FormShow();
    void Button2Click(); // START
    void Timer1Timer();
    void Button1Click(); // STOP
    void Button3Click(); // ABORT
    void Button4Click(); // SAVE
    void Button5Click(); // CLOSE
    void Button6Click(); // PRINT REPORT

protected:
    void closeEvent(QCloseEvent* event) override; // FormClose
    void reject() override;                       // Escape goes the way of the title bar

private:
    // Marks an engine action under way; its waits and questions run event loops, in which no other
    // action may start and the window may not close (the engine is on the stack).
    struct busy_scope {
        explicit busy_scope(int& count) : count_(count) { ++count_; }
        ~busy_scope() { --count_; }
        busy_scope(const busy_scope&) = delete;
        busy_scope& operator=(const busy_scope&) = delete;
        int& count_;
    };
    bool idle() const { return engine_ && busy_ == 0 && asking_ == 0; }
    // An OK/Cancel question; the run's ticks go on reading and painting behind its box.
    bool ask(const char* question);

    void build();
    void show_qc_state();
    void render();
    void show_buttons(const run_buttons& b);
    void show_notices();
    void clear_chart();

    session& session_;
    ui_services& services_;
    run_engine::wait_fn wait_;
    std::unique_ptr<run_engine> engine_;
    button_set shown_set_ = button_set::none;
    std::vector<std::vector<std::string>> shown_table_; // the grid as last drawn
    bool grid_shown_ = false;
    bool header_restored_ = false; // the grid has the operator's remembered column widths
    int busy_ = 0;
    int asking_ = 0; // a question box is open: ticks run, other actions and closing wait for it

    QTimer* Timer1_ = nullptr;
    std::vector<QPushButton*> buttons_; // in the order of the window's button table
    std::vector<QLabel*> labels_;       // in the order of the window's label table
    QLabel* counter_qc_ = nullptr;      // chi-square check after a series
    QLabel* qc_line_ = nullptr;         // the counter's QC state, read when the run opens
    qc_state qc_;
    QProgressBar* measurement_gauge_ = nullptr;
    QProgressBar* total_gauge_ = nullptr;
    run_chart_view* chart_ = nullptr;
    text_grid_model* grid_ = nullptr;
    QTableView* Output_ = nullptr;
};

} // namespace xkv
