#pragma once
// The measurement parameter editor "Measurment Parameters": the list of sets and the fields of the
// set shown, browse and edit mode, NEW, EDIT, OK and CLOSE. A thin view over parameter_editor: each
// handler copies the widgets into the editor's view, acts, and shows the view again.

#include "measurement/parameter_editor.h"
#include "settings/ui_services.h"

#include <QDialog>

#include <vector>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xkv {

class Tcal_form : public QDialog {
    Q_OBJECT
public:
    // `calibration_path`: <program dir>/ini/calibrations.cfg.
    Tcal_form(QWidget* parent, std::string calibration_path, ui_services& services);

    // Shows the window modally; FormShow runs as it appears.
    void open_window();

    const parameter_editor& editor() const { return editor_; }

public slots:
    void FormShow();
    void ComboBox1Change(int index);
    void Button3Click(); // NEW
    void Button4Click(); // EDIT
    void Button1Click(); // OK
    void Button2Click(); // CLOSE
    void Edit_alphaExit();
    void Edit_betaExit();
    void Edit_BExit();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void collect(); // widgets -> editor view
    void render();  // editor view and mode -> widgets
    void leave(checked_field field);
    // The check of a field the operator left, run once its focus change is complete.
    void check_left_field();
    QLineEdit* field_widget(checked_field field) const;
    // A failed check gives the focus back to the field it found wrong.
    void focus_bad_field();

    // Each edit field and choice with the view value it shows: render() and collect() both follow it.
    struct bound_text {
        QLineEdit* field;
        std::string parameter_set_view::*value;
    };
    struct bound_choice {
        QAbstractButton* button;
        bool parameter_set_view::*value;
    };
    void bind_controls();

    parameter_editor editor_;
    ui_services& services_;
    std::vector<bound_text> texts_;
    std::vector<bound_choice> choices_;
    std::optional<checked_field> left_field_; // left, not yet checked

    QComboBox* ComboBox1_ = nullptr;
    QLineEdit *Edit_name_ = nullptr, *Edit_description_ = nullptr;
    QLineEdit *Edit_alpha_ = nullptr, *Edit_A_Uncer_ = nullptr, *Edit_beta_ = nullptr, *Edit_B_Uncer_ = nullptr;
    QLineEdit *Edit_B_ = nullptr, *Edit_C_ = nullptr, *Edit_D_ = nullptr, *Edit_E_ = nullptr;
    QLineEdit *Edit_units_ = nullptr, *Edit_preset_time_ = nullptr;
    QRadioButton* radio_B_1X_ = nullptr;
    QRadioButton *radio_C_X_ = nullptr, *radio_C_1X_ = nullptr;
    QRadioButton *radio_D_X_ = nullptr, *radio_D_1X_ = nullptr;
    QRadioButton *radio_E_X_ = nullptr, *radio_E_1X_ = nullptr;
    QCheckBox *bkgnd_corr_ = nullptr, *chk_eff_A_ = nullptr, *chk_eff_B_ = nullptr;
    QPushButton *Button1_ = nullptr, *Button2_ = nullptr, *Button3_ = nullptr, *Button4_ = nullptr;
};

} // namespace xkv
