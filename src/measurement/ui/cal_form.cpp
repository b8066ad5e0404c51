#include "measurement/ui/cal_form.h"

#include "ui/qt_text.h"
#include "ui/window_placement.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace xkv {

namespace {

std::string s(const QLineEdit* field) { return field_bytes(field); }

QLineEdit* line_edit(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    take_single_line(e);
    return e;
}

template <class W>
W* named(W* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

void set_text(QLineEdit* e, const std::string& text) {
    const QSignalBlocker quiet(e);
    show_field(e, text);
}

void set_checked(QAbstractButton* b, bool on) {
    const QSignalBlocker quiet(b);
    b->setChecked(on);
}

} // namespace

Tcal_form::Tcal_form(QWidget* parent, std::string calibration_path, ui_services& services)
    : QDialog(parent), editor_(std::move(calibration_path)), services_(services) {
    setObjectName("cal_form");
    setWindowTitle("Measurment Parameters");
    setModal(true);
    build();
}

void Tcal_form::build() {
    auto* top = new QVBoxLayout(this);

    ComboBox1_ = named(new QComboBox(this), "ComboBox1"); // selection only
    ComboBox1_->setMinimumWidth(220);
    // The list hides in edit mode; its place stays, so no control moves between the modes.
    QSizePolicy keep = ComboBox1_->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ComboBox1_->setSizePolicy(keep);
    connect(ComboBox1_, &QComboBox::activated, this, &Tcal_form::ComboBox1Change);
    auto* head = new QGridLayout;
    head->addWidget(ComboBox1_, 0, 0, 1, 2);
    Edit_name_ = line_edit(this, "Edit_name");
    Edit_description_ = line_edit(this, "Edit_description");
    head->addWidget(new QLabel("Name : ", this), 1, 0);
    head->addWidget(Edit_name_, 1, 1);
    head->addWidget(new QLabel("Description : ", this), 2, 0);
    head->addWidget(Edit_description_, 2, 1);
    top->addLayout(head);

    const auto channel_group = [this](const char* title, const char* channel, const char* edit, const char* uncer,
                                      const char* uncer_caption, const char* eff, QLineEdit*& value,
                                      QLineEdit*& uncertainty, QCheckBox*& efficiency) {
        auto* group = new QGroupBox(title, this);
        auto* g = new QGridLayout(group);
        value = line_edit(group, edit);
        uncertainty = line_edit(group, uncer);
        efficiency = named(new QCheckBox("Efficiency", group), eff);
        g->addWidget(new QLabel("A=  ", group), 0, 0);
        g->addWidget(value, 0, 1);
        g->addWidget(efficiency, 0, 2);
        g->addWidget(new QLabel(uncer_caption, group), 1, 0);
        g->addWidget(uncertainty, 1, 1);
        auto* explanation = new QLabel(QString("K(%1) = C*D*E\nResult = K(%2)*(R1-Bkgnd(%2)) [+dimension]")
                                           .arg(channel, QString(channel) == "alpha" ? "Alpha" : "beta"),
                                       group);
        g->addWidget(explanation, 2, 0, 1, 3);
        return group;
    };
    auto* channels = new QHBoxLayout;
    channels->addWidget(channel_group("ALPHA", "alpha", "Edit_alpha", "Edit_A_Uncer",
                                      "Alpha uncertainty=  ", "chk_eff_A", Edit_alpha_, Edit_A_Uncer_, chk_eff_A_));
    channels->addWidget(channel_group("BETA", "beta", "Edit_beta", "Edit_B_Uncer", "Beta uncertainty=  ", "chk_eff_B",
                                      Edit_beta_, Edit_B_Uncer_, chk_eff_B_));
    top->addLayout(channels);

    auto* factors = new QGroupBox("Factors", this);
    auto* f = new QGridLayout(factors);
    const auto factor_row = [&](int row, const char* caption, const char* meaning, const char* edit, QLineEdit*& value,
                                const char* x_name, QRadioButton** x, const char* one_x_name, QRadioButton*& one_x) {
        value = line_edit(factors, edit);
        f->addWidget(new QLabel(caption, factors), row, 0);
        f->addWidget(value, row, 1);
        f->addWidget(new QLabel(meaning, factors), row, 2);
        one_x = named(new QRadioButton("1/X", factors), one_x_name);
        f->addWidget(one_x, row, 4);
        if (x) {
            *x = named(new QRadioButton("X", factors), x_name);
            f->addWidget(*x, row, 3);
            auto* group = new QButtonGroup(factors); // exactly one of X and 1/X
            group->addButton(*x);
            group->addButton(one_x);
        } // B's lone 1/X is auto-exclusive: a click cannot turn it off
    };
    factor_row(0, "B=  ", "Tranfer Factor", "Edit_B", Edit_B_, nullptr, nullptr, "radio_B_1X", radio_B_1X_);
    factor_row(1, "C=  ", "Wipe Surface", "Edit_C", Edit_C_, "radio_C_X", &radio_C_X_, "radio_C_1X", radio_C_1X_);
    factor_row(2, "D=  ", "User selectible", "Edit_D", Edit_D_, "radio_D_X", &radio_D_X_, "radio_D_1X", radio_D_1X_);
    factor_row(3, "E=  ", "User selectible", "Edit_E", Edit_E_, "radio_E_X", &radio_E_X_, "radio_E_1X", radio_E_1X_);
    Edit_units_ = line_edit(factors, "Edit_units");
    Edit_preset_time_ = line_edit(factors, "Edit_preset_time");
    f->addWidget(new QLabel("Units =  ", factors), 4, 0);
    f->addWidget(Edit_units_, 4, 1);
    f->addWidget(new QLabel("[dimension]", factors), 4, 2);
    f->addWidget(new QLabel("Preset time", factors), 5, 0);
    f->addWidget(Edit_preset_time_, 5, 1);
    f->addWidget(new QLabel("[S]", factors), 5, 2);
    bkgnd_corr_ = named(new QCheckBox("Perform bkgnd correction", factors), "chk_bkgnd_corr");
    f->addWidget(bkgnd_corr_, 6, 0, 1, 5);
    top->addWidget(factors);

    auto* buttons = new QHBoxLayout;
    Button3_ = named(new QPushButton("NEW", this), "Button3");
    Button4_ = named(new QPushButton("EDIT", this), "Button4");
    Button1_ = named(new QPushButton("OK", this), "Button1");
    Button2_ = named(new QPushButton("CLOSE", this), "Button2");
    for (QPushButton* b : {Button3_, Button4_, Button1_, Button2_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    top->addLayout(buttons);
    connect(Button3_, &QPushButton::clicked, this, &Tcal_form::Button3Click);
    connect(Button4_, &QPushButton::clicked, this, &Tcal_form::Button4Click);
    connect(Button1_, &QPushButton::clicked, this, &Tcal_form::Button1Click);
    connect(Button2_, &QPushButton::clicked, this, &Tcal_form::Button2Click);

    for (QLineEdit* e : {Edit_alpha_, Edit_beta_, Edit_B_}) e->installEventFilter(this);
    bind_controls();
}

void Tcal_form::bind_controls() {
    using view = parameter_set_view;
    texts_ = {{Edit_description_, &view::caption},
              {Edit_alpha_, &view::alpha},
              {Edit_A_Uncer_, &view::act_alpha},
              {Edit_beta_, &view::beta},
              {Edit_B_Uncer_, &view::act_beta},
              {Edit_B_, &view::factor_b},
              {Edit_C_, &view::factor_c},
              {Edit_D_, &view::factor_d},
              {Edit_E_, &view::factor_e},
              {Edit_units_, &view::units},
              {Edit_preset_time_, &view::preset_time},
              {Edit_name_, &view::name}};
    choices_ = {{radio_B_1X_, &view::radio_B_1X}, {radio_C_X_, &view::radio_C_X},
                {radio_C_1X_, &view::radio_C_1X}, {radio_D_X_, &view::radio_D_X},
                {radio_D_1X_, &view::radio_D_1X}, {radio_E_X_, &view::radio_E_X},
                {radio_E_1X_, &view::radio_E_1X}, {bkgnd_corr_, &view::background_correction},
                {chk_eff_A_, &view::chk_eff_A},   {chk_eff_B_, &view::chk_eff_B}};
}

void Tcal_form::open_window() { show(); }

void Tcal_form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    place_on_screen(*this);
    FormShow();
}

void Tcal_form::FormShow() {
    editor_.form_show();
    render();
}

void Tcal_form::ComboBox1Change(int index) {
    if (index < 0) return;
    editor_.choose(static_cast<std::size_t>(index));
    render();
}

void Tcal_form::Button3Click() {
    collect();
    editor_.new_set();
    render();
    Edit_name_->setFocus();
}

void Tcal_form::Button4Click() {
    collect();
    editor_.edit_set();
    render();
}

void Tcal_form::Button1Click() {
    check_left_field(); // the click that left a field is checked first, as the operator sees it
    collect();
    std::optional<std::string> message;
    try {
        message = editor_.confirm();
    } catch (...) {
        render(); // the after-save check's error is shown over the window in the mode it reached
        focus_bad_field();
        throw;
    }
    render();
    if (message) services_.show_message(*message);
}

void Tcal_form::Button2Click() { close(); } // an edit in progress is dropped

void Tcal_form::Edit_alphaExit() { leave(checked_field::alpha); }
void Tcal_form::Edit_betaExit() { leave(checked_field::beta); }
void Tcal_form::Edit_BExit() { leave(checked_field::factor_b); }

void Tcal_form::leave(checked_field field) {
    collect();
    try {
        editor_.leave_field(field); // text that is not a number throws and stays as typed
    } catch (...) {
        render();
        focus_bad_field();
        throw;
    }
    render();
}

void Tcal_form::check_left_field() {
    if (!left_field_) return;
    const checked_field field = *left_field_;
    left_field_.reset();
    if (!editor_.edit_mode()) return;
    switch (field) {
    case checked_field::alpha: Edit_alphaExit(); break;
    case checked_field::beta: Edit_betaExit(); break;
    default: Edit_BExit(); break;
    }
}

QLineEdit* Tcal_form::field_widget(checked_field field) const {
    switch (field) {
    case checked_field::alpha: return Edit_alpha_;
    case checked_field::beta: return Edit_beta_;
    case checked_field::factor_b: return Edit_B_;
    case checked_field::act_alpha: return Edit_A_Uncer_;
    case checked_field::act_beta: return Edit_B_Uncer_;
    }
    return Edit_alpha_;
}

void Tcal_form::focus_bad_field() {
    if (!editor_.bad_field() || !editor_.edit_mode()) return;
    QLineEdit* field = field_widget(*editor_.bad_field());
    field->setFocus(Qt::OtherFocusReason); // where the error box gives the focus back
    field->selectAll();
}

bool Tcal_form::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // Only a move to another control is leaving the field; a message box or another window
        // taking the focus is not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && editor_.edit_mode()) {
            std::optional<checked_field> left;
            if (watched == Edit_alpha_) left = checked_field::alpha;
            if (watched == Edit_beta_) left = checked_field::beta;
            if (watched == Edit_B_) left = checked_field::factor_b;
            // Checked after the focus change has run its course: an error box in the middle of it
            // would leave the field looking focused while the keys go elsewhere.
            if (left) {
                left_field_ = left;
                QMetaObject::invokeMethod(this, &Tcal_form::check_left_field, Qt::QueuedConnection);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tcal_form::collect() {
    parameter_set_view& v = editor_.view;
    for (const bound_text& t : texts_) v.*t.value = s(t.field);
    for (const bound_choice& c : choices_) v.*c.value = c.button->isChecked();
}

void Tcal_form::render() {
    const parameter_set_view& v = editor_.view;
    {
        const QSignalBlocker quiet(ComboBox1_);
        ComboBox1_->clear();
        for (const auto& name : editor_.names()) add_entry(ComboBox1_, name);
        ComboBox1_->setCurrentIndex(editor_.selected() ? static_cast<int>(*editor_.selected()) : -1);
    }
    for (const bound_text& t : texts_) set_text(t.field, v.*t.value);
    // The lone 1/X of B can be shown off (a file may say so) although the operator cannot turn it off.
    // In a pair, checking one choice turns its partner off; the partner's own "off" changes nothing.
    radio_B_1X_->setAutoExclusive(false);
    for (const bound_choice& c : choices_) set_checked(c.button, v.*c.value);
    radio_B_1X_->setAutoExclusive(true);

    const bool on = editor_.fields_enabled();
    for (const bound_text& t : texts_) t.field->setEnabled(t.field == Edit_name_ ? editor_.name_enabled() : on);
    for (const bound_choice& c : choices_) c.button->setEnabled(on);
    Button1_->setEnabled(editor_.ok_enabled());
    Button3_->setEnabled(editor_.new_enabled());
    Button4_->setEnabled(editor_.edit_enabled());
    ComboBox1_->setVisible(editor_.list_visible());
}

} // namespace xkv
