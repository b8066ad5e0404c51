#pragma once
// The measurement setup dialog "Measurment": sample ID, description, parameter set, count, preset
// time, quantity and units, the chosen set's "Measurment Parameters", START and CANCEL. A thin view
// over measurement_setup; START opens the run window, whose closing closes this dialog too.

#include "measurement/measurement_setup.h"
#include "settings/ui_services.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace xkv {

class Treal_measurment;

class Tm_form : public QDialog {
    Q_OBJECT
public:
    // `allow_series`: the count may be changed (off: a series of one, as always).
    Tm_form(QWidget* parent, std::string calibration_path, Treal_measurment& run, ui_services& services,
            bool allow_series = false);

    // Shows the dialog modally; FormShow runs as it appears.
    void open_window();

    const measurement_setup& setup() const { return setup_; }

public slots:
    void FormShow();
    void ComboBox1Change(int index);
    void Edit1Change();  // any of the six edit fields
    void Button2Click(); // START
    void Button1Click(); // CANCEL

protected:
    void showEvent(QShowEvent* event) override;

private:
    void collect();
    void render();

    measurement_setup setup_;
    Treal_measurment& run_;
    ui_services& services_;

    QLineEdit *Edit1_ = nullptr, *Edit2_ = nullptr, *Edit3_ = nullptr, *Edit4_ = nullptr;
    QLineEdit *edit5_ = nullptr, *edit6_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QLabel *caption_ = nullptr, *alpha_ = nullptr, *beta_ = nullptr, *k_ = nullptr;
    QPushButton *Button1_ = nullptr, *Button2_ = nullptr;
};

} // namespace xkv
