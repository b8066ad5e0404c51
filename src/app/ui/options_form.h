#pragma once
// The settings editor: the one place where the operator changes the current profile and the program
// options without a menu command of their own. Opened modally by the main window's "&New Options"
// and "&Edit Options"; puts its values into the session on OK.

#include "app/session.h"
#include "settings/instrument_modes.h"
#include "settings/options.h"
#include "settings/ui_services.h"

#include <QDialog>

#include <array>
#include <cstdint>
#include <vector>

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
    std::int32_t selected_mode() const;
    // The fields (only the instrument's, if so asked) and the mode from `p` and `o`; a mode code
    // without a row in the mode table leaves the last choice.
    void show_fields(_options p, _program_options o, bool instrument_only);

    session& session_;
    ui_services& services_;
    bool modified_ = false;
    bool filling_ = false; // a fill from the current records is not a change

    std::array<QRadioButton*, instrument_modes.size()> modes_{}; // in the order of the mode table
    std::vector<QLineEdit*> fields_;                             // in the order of the field table
    QLineEdit* time_;
    QLineEdit* template_;
    QCheckBox* revert_;
    QPushButton* ok_;
};

} // namespace xkv
