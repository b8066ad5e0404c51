#pragma once
// The high-voltage plateau window: the scan's setup, the curve growing as each voltage is counted,
// the plateau and the proposed operating voltage marked, Save PNG, and the voltage put into the
// profile as the settings editor takes it over. The scan itself is the core's plateau_scan.

#include "lab/plateau_scan.h"
#include "lab/ui/plateau_canvas.h"
#include "settings/ui_services.h"
#include "ui/timed_run.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace xkv {

struct session;

class Tplateau_form : public QDialog {
    Q_OBJECT
public:
    // `wait` is the scan's fixed waits (the painting wait in the program, a fast one in tests).
    Tplateau_form(QWidget* parent, session& state, ui_services& services, std::function<void(int)> wait);
    ~Tplateau_form() override;

    void open_window();
    const plateau_scan* scan() const { return scan_.run(); }

public slots:
    void Button1Click(); // START
    void Button2Click(); // STOP
    void Button3Click(); // Save PNG
    void Button4Click(); // use the operating voltage in the profile
    void Timer1Timer();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Escape closes the window as its close box does, so a count in progress is stopped first.
    void reject() override { close(); }

private:
    void finish();
    void show_state();

    session& session_;
    ui_services& services_;
    std::function<void(int)> wait_;
    timed_run<plateau_scan> scan_;
    plateau_analysis shown_;
    QComboBox* supply_ = nullptr;
    QComboBox* channel_ = nullptr;
    QLineEdit *from_ = nullptr, *to_ = nullptr, *step_ = nullptr, *preset_ = nullptr;
    QPushButton *start_ = nullptr, *stop_ = nullptr, *save_png_ = nullptr, *use_voltage_ = nullptr;
    QLabel* status_ = nullptr;
    plateau_canvas* canvas_ = nullptr;
};

} // namespace xkv
