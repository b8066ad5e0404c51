#pragma once
// The settings editor: the one place where the operator changes the current profile and the program
// options without a menu command of their own. Opened modally by the main window's "&New Options"
// and "&Edit Options"; puts its values into the session on OK.

#include "app/session.h"
#include "settings/options.h"
#include "settings/ui_services.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace xkv {

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    TOptionsForm(QWidget* parent, session& state, ui_services& services);

    // The instrument defaults; operator, template, background, timeout and channel swap keep what they
    // hold. Every field this changes counts as a change.
    void fill_defaults();
    // Every field from the current records, then the modified flag cleared.
    void fill_from_current();

    bool modified() const { return modified_; }

public slots:
    void OKClick();
    void CANCELClick();
    void BrowseTemplateClick();
    void CheckTemplateClick();
    // A background time that is not above 0 becomes "1"; an unparsable one throws conversion_error.
    void check_background_time();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* add_field(const char* object_name, bool marks_modified);
    void mark_modified();
    int selected_mode() const;
    // The instrument fields and mode from `p` (a mode outside 1..6 leaves the last choice).
    void show_instrument(const _options& p);

    session& session_;
    ui_services& services_;
    bool modified_ = false;
    bool filling_ = false; // a fill from the current records is not a change

    std::array<QRadioButton*, 6> modes_{};
    QLineEdit* C_;
    QLineEdit* D_;
    QLineEdit* E_;
    QLineEdit* UNIT_;
    std::array<QLineEdit*, 8> alarms_{}; // a1_c1, a1_c2, a1_r1, a1_r2, a2_c1, a2_c2, a2_r1, a2_r2
    QLineEdit* failrate1_;
    QLineEdit* failrate2_;
    QLineEdit* hv1_;
    QLineEdit* hv2_;
    QLineEdit* dead1_;
    QLineEdit* dead2_;
    QLineEdit* alpha_;
    QLineEdit* beta_;
    QLineEdit* time_;
    QLineEdit* timeout_;
    QCheckBox* revert_;
    QLineEdit* creator_;
    QLineEdit* template_;
    QPushButton* ok_;
};

} // namespace xkv
