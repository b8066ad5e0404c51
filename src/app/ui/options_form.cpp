#include "app/ui/options_form.h"

#include "app/background_time.h"
#include "results/t_report.h"
#include "settings/instrument_modes.h"
#include "settings/program_dir.h"
#include "settings/value_text.h"
#include "ui/qt_text.h"
#include "ui/window_placement.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace xkv {

namespace {

std::string s(const QLineEdit* field) { return field_bytes(field); }

// A caption and its field in one row of a grid.
void add_row(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field) {
    grid->addWidget(new QLabel(caption), row, column, Qt::AlignRight);
    grid->addWidget(field, row, column + 1);
}

} // namespace

TOptionsForm::TOptionsForm(QWidget* parent, session& state, ui_services& services)
    : QDialog(parent), session_(state), services_(services) {
    setObjectName("OptionsForm");
    setWindowTitle("Options");
    // No title-bar buttons: OK and CANCEL close it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    C_ = add_field("Edit_C", true);
    D_ = add_field("Edit_D", true);
    E_ = add_field("Edit_E", true);
    UNIT_ = add_field("Edit_UNIT", true);
    const char* alarm_names[] = {"Edit_a1_c1", "Edit_a1_c2", "Edit_a1_r1", "Edit_a1_r2",
                                 "Edit_a2_c1", "Edit_a2_c2", "Edit_a2_r1", "Edit_a2_r2"};
    for (std::size_t i = 0; i < alarms_.size(); ++i) alarms_[i] = add_field(alarm_names[i], true);
    failrate1_ = add_field("Edit_failrate1", true);
    failrate2_ = add_field("Edit_failrate2", true);
    hv1_ = add_field("Edit_hv1", true);
    hv2_ = add_field("Edit_hv2", true);
    dead1_ = add_field("Edit_dead1", true);
    dead2_ = add_field("Edit_dead2", true);
    alpha_ = add_field("Edit_alpha", true);
    beta_ = add_field("Edit_beta", true);
    time_ = add_field("Edit_time", true);
    time_->installEventFilter(this);
    timeout_ = add_field("Edit_timeout", true);
    creator_ = add_field("Edit_creator", false);
    template_ = add_field("Edit_template", false);
    template_->setMinimumWidth(240);
    revert_ = new QCheckBox("Revert Cannels / If selected counter 1 = beta channel counter 2 = alpha channel/");
    revert_->setObjectName("CheckBox_revert");

    // Instrument groups.
    auto* mode_box = new QGroupBox("Mode");
    auto* mode_layout = new QVBoxLayout(mode_box);
    for (int i = 0; i < 6; ++i) {
        modes_[i] = new QRadioButton(qt_text(instrument_modes[i].caption), mode_box);
        modes_[i]->setObjectName(QString("Mode%1").arg(i + 1));
        mode_layout->addWidget(modes_[i]);
    }

    auto* values_box = new QGroupBox("Values");
    auto* values = new QGridLayout(values_box);
    values->addWidget(new QLabel("Factors and Constants"), 0, 0, 1, 2);
    values->addWidget(new QLabel("rate = C * ( A * R1 - B * R2 )"), 1, 0, 1, 2);
    add_row(values, 2, 0, "C = ", C_);
    add_row(values, 3, 0, "D = ", D_);
    add_row(values, 4, 0, "E = ", E_);
    add_row(values, 5, 0, "UNIT : ", UNIT_);
    values->setRowStretch(6, 1);

    auto* hv_box = new QGroupBox("HV ( High Voltage )");
    auto* hv = new QGridLayout(hv_box);
    add_row(hv, 0, 0, "HV1 = ", hv1_);
    add_row(hv, 1, 0, "HV2 = ", hv2_);
    auto* dead_box = new QGroupBox("Dead Time");
    auto* dead = new QGridLayout(dead_box);
    add_row(dead, 0, 0, "1 = ", dead1_);
    add_row(dead, 1, 0, "2 = ", dead2_);
    auto* right_column = new QVBoxLayout;
    right_column->addWidget(hv_box);
    right_column->addWidget(dead_box);
    right_column->addStretch();

    auto* alerts_box = new QGroupBox("Alerts");
    auto* alerts = new QGridLayout(alerts_box);
    alerts->addWidget(new QLabel("Alarm 1"), 0, 1, Qt::AlignCenter);
    alerts->addWidget(new QLabel("Alarm 2"), 0, 2, Qt::AlignCenter);
    const char* channel_rows[] = {"channel 1 counter", "channel 2 counter", "channel 1 ratemeter",
                                  "channel 2 ratemeter"};
    for (int r = 0; r < 4; ++r) {
        alerts->addWidget(new QLabel(channel_rows[r]), r + 1, 0, Qt::AlignRight);
        alerts->addWidget(alarms_[r], r + 1, 1);
        alerts->addWidget(alarms_[r + 4], r + 1, 2);
    }
    alerts->setColumnMinimumWidth(3, 24);
    add_row(alerts, 1, 4, "FailRate 1 = ", failrate1_);
    add_row(alerts, 2, 4, "FailRate 2 = ", failrate2_);

    auto* instrument = new QGroupBox("XKV 4410 internal instrument options");
    instrument->setObjectName("InstrumentOptions");
    auto* instrument_grid = new QGridLayout(instrument);
    instrument_grid->addWidget(mode_box, 0, 0);
    instrument_grid->addWidget(values_box, 0, 1);
    instrument_grid->addLayout(right_column, 0, 2);
    instrument_grid->addWidget(alerts_box, 1, 0, 1, 3);

    // Software groups.
    auto* background_box = new QGroupBox("background");
    auto* background = new QGridLayout(background_box);
    auto* alpha_mark = new QLabel(QString::fromUtf8("\u03b1 ="));
    alpha_mark->setObjectName("alpha_picture");
    auto* beta_mark = new QLabel(QString::fromUtf8("\u03b2 ="));
    beta_mark->setObjectName("beta_picture");
    background->addWidget(alpha_mark, 0, 0, Qt::AlignRight);
    background->addWidget(alpha_, 0, 1);
    background->addWidget(beta_mark, 1, 0, Qt::AlignRight);
    background->addWidget(beta_, 1, 1);
    add_row(background, 2, 0, "TIME =", time_);

    auto* report_box = new QGroupBox("Report options");
    auto* report = new QGridLayout(report_box);
    add_row(report, 0, 0, "Operator : ", creator_);
    add_row(report, 1, 0, "Template file name : ", template_);
    auto* browse = new QPushButton("...");
    browse->setObjectName("Button_browse");
    browse->setFixedWidth(32);
    report->addWidget(browse, 1, 2);
    report->setRowStretch(2, 1);

    auto* com_box = new QGroupBox("ComPort");
    auto* com = new QHBoxLayout(com_box);
    com->addWidget(new QLabel("TimeOut : "));
    timeout_->setMaximumWidth(80);
    com->addWidget(timeout_);
    com->addSpacing(16);
    com->addWidget(revert_, 1);

    auto* software = new QGroupBox("Software options");
    software->setObjectName("SoftwareOptions");
    auto* software_grid = new QGridLayout(software);
    software_grid->addWidget(background_box, 0, 0);
    software_grid->addWidget(report_box, 0, 1);
    software_grid->addWidget(com_box, 1, 0, 1, 2);
    software_grid->setColumnStretch(1, 1);

    auto* check = new QPushButton("Check template for errors");
    check->setObjectName("Button_check");
    ok_ = new QPushButton("OK");
    ok_->setObjectName("Button_OK");
    ok_->setAutoDefault(false);
    auto* cancel = new QPushButton("CANCEL");
    cancel->setObjectName("Button_CANCEL");
    cancel->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(check);
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(instrument);
    layout->addWidget(software);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &TOptionsForm::OKClick);
    connect(cancel, &QPushButton::clicked, this, &TOptionsForm::CANCELClick);
    connect(browse, &QPushButton::clicked, this, &TOptionsForm::BrowseTemplateClick);
    connect(check, &QPushButton::clicked, this, &TOptionsForm::CheckTemplateClick);

    // The fields start from the records the program started with, without counting as a change;
    // the mode buttons start at "C1 - C2" until a fill selects another.
    fill_from_current();
    modes_[0]->setChecked(true);
    for (QRadioButton* mode : modes_)
        connect(mode, &QRadioButton::toggled, this, [this](bool on) {
            if (on) mark_modified();
        });
}

QLineEdit* TOptionsForm::add_field(const char* object_name, bool marks_modified) {
    auto* field = new QLineEdit(this);
    field->setObjectName(object_name);
    field->setMinimumWidth(90);
    take_single_line(field);
    if (marks_modified) connect(field, &QLineEdit::textChanged, this, &TOptionsForm::mark_modified);
    return field;
}

void TOptionsForm::mark_modified() {
    if (filling_) return;
    modified_ = true;
    session_.changed(session_change::unsaved_edit);
}

int TOptionsForm::selected_mode() const {
    for (int i = 0; i < 6; ++i)
        if (modes_[i]->isChecked()) return i + 1;
    return 1;
}

// The instrument defaults are those of a new profile.
void TOptionsForm::fill_defaults() { show_instrument(_options{}); }

void TOptionsForm::show_instrument(const _options& p) {
    show_field(C_, p.C);
    show_field(D_, p.D);
    show_field(E_, p.E);
    show_field(UNIT_, p.UNIT);
    const std::string* alarm_values[] = {&p.alerts.a1_c1, &p.alerts.a1_c2, &p.alerts.a1_r1, &p.alerts.a1_r2,
                                         &p.alerts.a2_c1, &p.alerts.a2_c2, &p.alerts.a2_r1, &p.alerts.a2_r2};
    for (std::size_t i = 0; i < alarms_.size(); ++i) show_field(alarms_[i], *alarm_values[i]);
    show_field(failrate1_, p.failrate1);
    show_field(failrate2_, p.failrate2);
    show_field(hv1_, p.hv1);
    show_field(hv2_, p.hv2);
    show_field(dead1_, p.dead1);
    show_field(dead2_, p.dead2);
    if (p.mode >= 1 && p.mode <= 6) modes_[p.mode - 1]->setChecked(true);
}

void TOptionsForm::fill_from_current() {
    filling_ = true;
    const _options& p = session_.profile;
    const _program_options& o = session_.options;
    show_instrument(p);
    show_field(alpha_, p.background.alpha);
    show_field(beta_, p.background.beta);
    show_field(time_, p.background.time);
    timeout_->setText(QString::number(o.timeout));
    revert_->setChecked(o.revert_channels);
    show_field(creator_, p.creator);
    show_field(template_, o.name);
    filling_ = false;
    modified_ = false;
}

void TOptionsForm::check_background_time() {
    const std::string checked = checked_background_time(s(time_));
    if (checked != s(time_)) show_field(time_, checked);
}

void TOptionsForm::OKClick() {
    check_background_time();

    _options p = session_.profile;
    p.mode = selected_mode();
    p.C = s(C_);
    p.D = s(D_);
    p.E = s(E_);
    std::string* alarm_fields[] = {&p.alerts.a1_c1, &p.alerts.a1_c2, &p.alerts.a1_r1, &p.alerts.a1_r2,
                                   &p.alerts.a2_c1, &p.alerts.a2_c2, &p.alerts.a2_r1, &p.alerts.a2_r2};
    for (std::size_t i = 0; i < alarms_.size(); ++i) *alarm_fields[i] = s(alarms_[i]);
    p.failrate1 = s(failrate1_);
    p.failrate2 = s(failrate2_);
    p.hv1 = s(hv1_);
    p.hv2 = s(hv2_);
    p.dead1 = s(dead1_);
    p.dead2 = s(dead2_);
    p.UNIT = s(UNIT_);
    p.creator = s(creator_);
    p.background.alpha = s(alpha_);
    p.background.beta = s(beta_);
    p.background.time = s(time_);
    session_.profile = p;
    session_.changed(session_change::profile);

    // A timeout past 2147483647 throws here: the profile is taken over, the program options are not.
    _program_options o = session_.options;
    o.revert_channels = revert_->isChecked();
    o.timeout = static_cast<std::int32_t>(digits_to_int(s(timeout_)));
    o.name = s(template_);
    session_.options = o;
    session_.changed(session_change::options);

    accept();
    if (modified_ && services_.confirm_yes_no("Save config File ?", "Confirm")) save_options(session_, services_);
}

void TOptionsForm::CANCELClick() { reject(); }

void TOptionsForm::BrowseTemplateClick() {
    // A save dialog, so a template that does not exist yet may be named.
    if (const auto chosen = services_.choose_save_file("template file|*.tpl", "tpl")) show_field(template_, *chosen);
}

void TOptionsForm::CheckTemplateClick() {
    const t_report report(resolve_program_path(session_.program_dir, s(template_)));
    services_.show_message(report.error_text.empty() ? "OK" : report.error_text);
}

void TOptionsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    place_on_screen(*this);
}

// Leaving "TIME =" checks it, unless the operator is leaving for OK, which checks it itself.
bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == time_ && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        const bool left_field = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                                reason == Qt::MouseFocusReason || reason == Qt::OtherFocusReason;
        if (left_field && QApplication::focusWidget() != ok_) check_background_time();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace xkv
