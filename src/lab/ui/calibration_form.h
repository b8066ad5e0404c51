#pragma once
// The calibration window: an efficiency or crosstalk calibration of a parameter set, from a standard
// counted through the run (START, STOP) or from counts read elsewhere (Compute); the value and its
// uncertainty shown, kept as the set's next version (Keep), applied to the set's keys when asked,
// and the set's history below. The numbers are the core's (calibration_entry, standard_run).

#include "lab/calibration_record.h"
#include "lab/standard_run.h"
#include "settings/ui_services.h"
#include "ui/timed_run.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace xkv {

struct session;
class text_grid_model;

class Tcalibration_form : public QDialog {
    Q_OBJECT
public:
    // `wait` is the run's fixed waits (the painting wait in the program, a fast one in tests).
    Tcalibration_form(QWidget* parent, session& state, ui_services& services, std::function<void(int)> wait);
    ~Tcalibration_form() override;

    void open_window();
    const standard_run* run() const { return run_.run(); }
    // The calibration computed and not kept yet.
    const std::optional<calibration_record>& pending() const { return pending_; }

public slots:
    void Button1Click(); // START: the standard counted through the run
    void Button2Click(); // STOP
    void Button3Click(); // Compute from the counts entered
    void Button4Click(); // Keep (and apply when ticked)
    void Timer1Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the window as its close box does, so a count in progress is stopped first.
    void reject() override { close(); }

private:
    calibration_kind kind() const;
    calibration_entry entry() const;
    std::string calibration_path() const;
    void show_result(calibration_record record, std::string counter);
    void forget_result(); // the computed value is nobody's any more
    void finish();
    void refill_sets();
    void show_history();
    void show_state();

    // The edit fields, one row each: made, placed, read into the entry and enabled from the table.
    struct entry_field;
    static const entry_field entry_fields[];

    session& session_;
    ui_services& services_;
    std::function<void(int)> wait_;
    timed_run<standard_run> run_;
    std::optional<calibration_record> pending_;
    std::string pending_counter_;
    std::string result_text_;
    QComboBox *kind_ = nullptr, *set_ = nullptr;
    QLineEdit *nuclide_ = nullptr, *activity_ = nullptr, *u_activity_ = nullptr, *reference_date_ = nullptr,
              *half_life_ = nullptr, *preset_ = nullptr, *counts_ = nullptr, *time_ = nullptr, *measured_ = nullptr;
    QCheckBox* apply_ = nullptr;
    QPushButton *start_ = nullptr, *stop_ = nullptr, *compute_ = nullptr, *keep_ = nullptr;
    QLabel* status_ = nullptr;
    text_grid_model* history_ = nullptr;
    QTableView* Grid1_ = nullptr;
};

} // namespace xkv
