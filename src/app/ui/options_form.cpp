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

#include <string_view>
#include <variant>
#include <vector>

namespace xkv {

namespace {

std::string s(const QLineEdit* field) { return field_bytes(field); }

// What a field holds: a text of the profile, or a text or whole number of the program options.
using profile_text = std::string& (*)(_options&);
using option_text = std::string _program_options::*;
using option_number = std::int32_t _program_options::*;

enum class field_kind {
    instrument, // an instrument setting: "New Options" shows a new profile's; an edit is a change
    software,   // an edit is a change, which OK offers to save
    report,     // taken over on OK without counting as a change
};

// One edit field: its object name, the caption beside it (none where the layout labels it otherwise),
// what it holds and its kind. The fields are made in this order.
struct settings_field {
    const char* object_name;
    const char* caption;
    std::variant<profile_text, option_text, option_number> value;
    field_kind kind;
};
#define XKV_PROFILE(expr) +[](_options& p) -> std::string& { return p.expr; }
constexpr settings_field settings_fields[] = {
    {"Edit_C", "C = ", XKV_PROFILE(C), field_kind::instrument},
    {"Edit_D", "D = ", XKV_PROFILE(D), field_kind::instrument},
    {"Edit_E", "E = ", XKV_PROFILE(E), field_kind::instrument},
    {"Edit_UNIT", "UNIT : ", XKV_PROFILE(UNIT), field_kind::instrument},
    {"Edit_a1_c1", nullptr, XKV_PROFILE(alerts.a1_c1), field_kind::instrument},
    {"Edit_a1_c2", nullptr, XKV_PROFILE(alerts.a1_c2), field_kind::instrument},
    {"Edit_a1_r1", nullptr, XKV_PROFILE(alerts.a1_r1), field_kind::instrument},
    {"Edit_a1_r2", nullptr, XKV_PROFILE(alerts.a1_r2), field_kind::instrument},
    {"Edit_a2_c1", nullptr, XKV_PROFILE(alerts.a2_c1), field_kind::instrument},
    {"Edit_a2_c2", nullptr, XKV_PROFILE(alerts.a2_c2), field_kind::instrument},
    {"Edit_a2_r1", nullptr, XKV_PROFILE(alerts.a2_r1), field_kind::instrument},
    {"Edit_a2_r2", nullptr, XKV_PROFILE(alerts.a2_r2), field_kind::instrument},
    {"Edit_failrate1", "FailRate 1 = ", XKV_PROFILE(failrate1), field_kind::instrument},
    {"Edit_failrate2", "FailRate 2 = ", XKV_PROFILE(failrate2), field_kind::instrument},
    {"Edit_hv1", "HV1 = ", XKV_PROFILE(hv1), field_kind::instrument},
    {"Edit_hv2", "HV2 = ", XKV_PROFILE(hv2), field_kind::instrument},
    {"Edit_dead1", "1 = ", XKV_PROFILE(dead1), field_kind::instrument},
    {"Edit_dead2", "2 = ", XKV_PROFILE(dead2), field_kind::instrument},
    {"Edit_alpha", nullptr, XKV_PROFILE(background.alpha), field_kind::software},
    {"Edit_beta", nullptr, XKV_PROFILE(background.beta), field_kind::software},
    {"Edit_time", "TIME =", XKV_PROFILE(background.time), field_kind::software},
    {"Edit_timeout", "TimeOut : ", &_program_options::timeout, field_kind::software},
    {"Edit_creator", "Operator : ", XKV_PROFILE(creator), field_kind::report},
    {"Edit_template", "Template file name : ", &_program_options::name, field_kind::report},
};
#undef XKV_PROFILE

std::size_t field_row(std::string_view object_name) {
    for (std::size_t i = 0; i < std::size(settings_fields); ++i)
        if (settings_fields[i].object_name == object_name) return i;
    qFatal("no settings field %s", std::string(object_name).c_str());
}

const char* caption_of(std::string_view object_name) { return settings_fields[field_row(object_name)].caption; }

// Shows what `f` holds in `p` or `o`.
void show_value(QLineEdit* field, const settings_field& f, _options& p, _program_options& o) {
    if (const auto* text = std::get_if<profile_text>(&f.value))
        show_field(field, (*text)(p));
    else if (const auto* option = std::get_if<option_text>(&f.value))
        show_field(field, o.*(*option));
    else
        field->setText(QString::number(o.*std::get<option_number>(f.value)));
}

// The profile's fields into `p`; `fields` are in the order of the table.
void take_profile(const std::vector<QLineEdit*>& fields, _options& p) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (const auto* text = std::get_if<profile_text>(&settings_fields[i].value)) (*text)(p) = s(fields[i]);
}

// The program options' fields into `o`; a whole number past 2147483647 throws conversion_error.
void take_options(const std::vector<QLineEdit*>& fields, _program_options& o) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (const auto* text = std::get_if<option_text>(&settings_fields[i].value)) o.*(*text) = s(fields[i]);
        if (const auto* number = std::get_if<option_number>(&settings_fields[i].value))
            o.*(*number) = static_cast<std::int32_t>(digits_to_int(s(fields[i])));
    }
}

} // namespace

TOptionsForm::TOptionsForm(QWidget* parent, session& state, ui_services& services)
    : QDialog(parent), session_(state), services_(services) {
    setObjectName("OptionsForm");
    setWindowTitle("Options");
    // No title-bar buttons: OK and CANCEL close it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    for (const settings_field& f : settings_fields)
        fields_.push_back(add_field(f.object_name, f.kind != field_kind::report));
    const auto field = [this](std::string_view object_name) { return fields_[field_row(object_name)]; };
    // A caption and its field in one row of a grid.
    const auto add_row = [&field](QGridLayout* grid, int row, int column, std::string_view object_name) {
        grid->addWidget(new QLabel(caption_of(object_name)), row, column, Qt::AlignRight);
        grid->addWidget(field(object_name), row, column + 1);
    };
    time_ = field("Edit_time");
    time_->installEventFilter(this);
    template_ = field("Edit_template");
    template_->setMinimumWidth(240);
    revert_ = new QCheckBox("Revert Cannels / If selected counter 1 = beta channel counter 2 = alpha channel/");
    revert_->setObjectName("CheckBox_revert");

    // Instrument groups.
    auto* mode_box = new QGroupBox("Mode");
    auto* mode_layout = new QVBoxLayout(mode_box);
    // Named by their place in the mode table, as they always were.
    for (std::size_t i = 0; i < modes_.size(); ++i) {
        modes_[i] = new QRadioButton(qt_text(instrument_modes[i].caption), mode_box);
        modes_[i]->setObjectName(QString("Mode%1").arg(i + 1));
        mode_layout->addWidget(modes_[i]);
    }

    auto* values_box = new QGroupBox("Values");
    auto* values = new QGridLayout(values_box);
    values->addWidget(new QLabel("Factors and Constants"), 0, 0, 1, 2);
    values->addWidget(new QLabel("rate = C * ( A * R1 - B * R2 )"), 1, 0, 1, 2);
    add_row(values, 2, 0, "Edit_C");
    add_row(values, 3, 0, "Edit_D");
    add_row(values, 4, 0, "Edit_E");
    add_row(values, 5, 0, "Edit_UNIT");
    values->setRowStretch(6, 1);

    auto* hv_box = new QGroupBox("HV ( High Voltage )");
    auto* hv = new QGridLayout(hv_box);
    add_row(hv, 0, 0, "Edit_hv1");
    add_row(hv, 1, 0, "Edit_hv2");
    auto* dead_box = new QGroupBox("Dead Time");
    auto* dead = new QGridLayout(dead_box);
    add_row(dead, 0, 0, "Edit_dead1");
    add_row(dead, 1, 0, "Edit_dead2");
    auto* right_column = new QVBoxLayout;
    right_column->addWidget(hv_box);
    right_column->addWidget(dead_box);
    right_column->addStretch();

    auto* alerts_box = new QGroupBox("Alerts");
    auto* alerts = new QGridLayout(alerts_box);
    alerts->addWidget(new QLabel("Alarm 1"), 0, 1, Qt::AlignCenter);
    alerts->addWidget(new QLabel("Alarm 2"), 0, 2, Qt::AlignCenter);
    // Each row: its caption, then the field of alarm 1 and of alarm 2.
    const char* channel_rows[][3] = {{"channel 1 counter", "Edit_a1_c1", "Edit_a2_c1"},
                                     {"channel 2 counter", "Edit_a1_c2", "Edit_a2_c2"},
                                     {"channel 1 ratemeter", "Edit_a1_r1", "Edit_a2_r1"},
                                     {"channel 2 ratemeter", "Edit_a1_r2", "Edit_a2_r2"}};
    for (int r = 0; r < 4; ++r) {
        alerts->addWidget(new QLabel(channel_rows[r][0]), r + 1, 0, Qt::AlignRight);
        alerts->addWidget(field(channel_rows[r][1]), r + 1, 1);
        alerts->addWidget(field(channel_rows[r][2]), r + 1, 2);
    }
    alerts->setColumnMinimumWidth(3, 24);
    add_row(alerts, 1, 4, "Edit_failrate1");
    add_row(alerts, 2, 4, "Edit_failrate2");

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
    background->addWidget(field("Edit_alpha"), 0, 1);
    background->addWidget(beta_mark, 1, 0, Qt::AlignRight);
    background->addWidget(field("Edit_beta"), 1, 1);
    add_row(background, 2, 0, "Edit_time");

    auto* report_box = new QGroupBox("Report options");
    auto* report = new QGridLayout(report_box);
    add_row(report, 0, 0, "Edit_creator");
    add_row(report, 1, 0, "Edit_template");
    auto* browse = new QPushButton("...");
    browse->setObjectName("Button_browse");
    browse->setFixedWidth(32);
    report->addWidget(browse, 1, 2);
    report->setRowStretch(2, 1);

    auto* com_box = new QGroupBox("ComPort");
    auto* com = new QHBoxLayout(com_box);
    QLineEdit* timeout = field("Edit_timeout");
    com->addWidget(new QLabel(caption_of("Edit_timeout")));
    timeout->setMaximumWidth(80);
    com->addWidget(timeout);
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

std::int32_t TOptionsForm::selected_mode() const {
    for (std::size_t i = 0; i < modes_.size(); ++i)
        if (modes_[i]->isChecked()) return instrument_modes[i].code;
    return instrument_modes.front().code; // not reached: the first button is on from the start
}

// The instrument defaults are those of a new profile.
void TOptionsForm::fill_defaults() { show_fields(_options{}, session_.options, true); }

void TOptionsForm::show_fields(_options p, _program_options o, bool instrument_only) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (!instrument_only || settings_fields[i].kind == field_kind::instrument)
            show_value(fields_[i], settings_fields[i], p, o);
    // The button of the code's row in the mode table.
    if (const instrument_mode* m = find_mode(p.mode))
        modes_[static_cast<std::size_t>(m - instrument_modes.data())]->setChecked(true);
}

void TOptionsForm::fill_from_current() {
    filling_ = true;
    show_fields(session_.profile, session_.options, false);
    revert_->setChecked(session_.options.revert_channels);
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
    take_profile(fields_, p);
    session_.profile = p;
    session_.changed(session_change::profile);

    // A timeout past 2147483647 throws here: the profile is taken over, the program options are not.
    _program_options o = session_.options;
    o.revert_channels = revert_->isChecked();
    take_options(fields_, o);
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
