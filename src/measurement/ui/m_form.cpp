#include "measurement/ui/m_form.h"

#include "measurement/ui/real_measurment.h"
#include "ui/qt_text.h"
#include "ui/window_placement.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace xkv {

namespace {

void set_text(QLineEdit* e, const std::string& text) {
    if (field_bytes(e) == text) return; // keeps the cursor where the operator is typing
    const QSignalBlocker quiet(e);
    show_field(e, text);
}

} // namespace

Tm_form::Tm_form(QWidget* parent, std::string calibration_path, Treal_measurment& run, ui_services& services,
                 bool allow_series)
    : QDialog(parent), setup_(std::move(calibration_path), allow_series), run_(run), services_(services) {
    setObjectName("m_form");
    setWindowTitle("Measurment");
    setModal(true);

    auto* top = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    const auto edit = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        return e;
    };
    // In tab order.
    Edit1_ = edit("Edit1");
    Edit2_ = edit("Edit2");
    ComboBox1_ = new QComboBox(this); // selection only
    ComboBox1_->setObjectName("ComboBox1");
    connect(ComboBox1_, &QComboBox::activated, this, &Tm_form::ComboBox1Change);
    Edit3_ = edit("Edit3");
    Edit3_->setText("1");
    Edit3_->setEnabled(setup_.count_enabled()); // else a series of one
    Edit4_ = edit("Edit4");
    edit5_ = edit("edit5");
    edit6_ = edit("edit6");
    for (QLineEdit* e : {Edit1_, Edit2_, Edit3_, Edit4_, edit5_, edit6_})
        connect(e, &QLineEdit::textChanged, this, &Tm_form::Edit1Change);
    // A typical description shows whole: room for 40 characters (the fields share their column).
    Edit2_->setMinimumWidth(Edit2_->fontMetrics().horizontalAdvance(QString(40, 'x')) + 12);

    g->addWidget(new QLabel("Sample ID :", this), 0, 0);
    g->addWidget(Edit1_, 0, 1);
    g->addWidget(new QLabel("description :", this), 1, 0);
    g->addWidget(Edit2_, 1, 1);
    g->addWidget(new QLabel("measurment parameters :", this), 2, 0);
    g->addWidget(ComboBox1_, 2, 1);
    g->addWidget(new QLabel("Count :", this), 3, 0);
    g->addWidget(Edit3_, 3, 1);
    g->addWidget(new QLabel("Number of measurments", this), 3, 2);
    g->addWidget(new QLabel("Preset time :", this), 4, 0);
    g->addWidget(Edit4_, 4, 1);
    g->addWidget(new QLabel("s   / 0- 1000000 / ", this), 4, 2);
    g->addWidget(new QLabel("Quantity : ", this), 5, 0);
    g->addWidget(edit5_, 5, 1);
    g->addWidget(new QLabel("Units : ", this), 6, 0);
    g->addWidget(edit6_, 6, 1);
    top->addLayout(g);
    setTabOrder(Edit1_, Edit2_);
    setTabOrder(Edit2_, ComboBox1_);
    setTabOrder(ComboBox1_, Edit3_);
    setTabOrder(Edit3_, Edit4_);
    setTabOrder(Edit4_, edit5_);
    setTabOrder(edit5_, edit6_);

    auto* group = new QGroupBox("Measurment Parameters", this);
    auto* p = new QGridLayout(group);
    const auto label = [group](const char* name) {
        auto* l = new QLabel(group);
        l->setObjectName(name);
        return l;
    };
    caption_ = label("label_caption");
    alpha_ = label("label_alpha");
    beta_ = label("label_beta");
    k_ = label("label_k");
    p->addWidget(new QLabel("Description : ", group), 0, 0);
    p->addWidget(caption_, 0, 1);
    p->addWidget(alpha_, 1, 0, 1, 2);
    p->addWidget(beta_, 2, 0, 1, 2);
    p->addWidget(k_, 3, 0, 1, 2);
    top->addWidget(group);

    auto* buttons = new QHBoxLayout;
    Button2_ = new QPushButton("START", this);
    Button2_->setObjectName("Button2");
    Button2_->setEnabled(false);
    Button1_ = new QPushButton("CANCEL", this);
    Button1_->setObjectName("Button1");
    for (QPushButton* b : {Button2_, Button1_}) buttons->addWidget(b);
    // Enter presses START when it is enabled (and CANCEL when CANCEL has the focus).
    Button2_->setDefault(true);
    top->addLayout(buttons);
    connect(Button2_, &QPushButton::clicked, this, &Tm_form::Button2Click);
    connect(Button1_, &QPushButton::clicked, this, &Tm_form::Button1Click);
    setTabOrder(edit6_, Button2_);
    setTabOrder(Button2_, Button1_);

    connect(&run_, &Treal_measurment::closed, this, &QWidget::close);
}

void Tm_form::open_window() { show(); }

void Tm_form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    place_on_screen(*this);
    FormShow();
}

void Tm_form::FormShow() {
    setup_.form_show();
    render();
    Edit1_->setFocus();
    Edit1_->selectAll(); // the last sample ID is offered: typing replaces it
}

void Tm_form::ComboBox1Change(int index) {
    if (index < 0) return;
    collect();
    try {
        setup_.choose_set(entry_bytes(ComboBox1_, index));
    } catch (...) {
        render(); // what was filled before K stays; START keeps its state
        throw;
    }
    render();
}

void Tm_form::Edit1Change() {
    collect();
    setup_.fields_changed();
    Button2_->setEnabled(setup_.start_enabled());
}

void Tm_form::Button2Click() {
    collect();
    const setup_start start = setup_.start(); // a preset time or quantity that is no number throws
    for (const auto& message : start.messages) services_.show_message(message);
    if (start.open_run) run_.open_run(setup_.fields);
}

void Tm_form::Button1Click() { close(); }

void Tm_form::collect() {
    run_setup& f = setup_.fields;
    f.sample_id = field_bytes(Edit1_);
    f.description = field_bytes(Edit2_);
    f.count = field_bytes(Edit3_);
    f.preset_time = field_bytes(Edit4_);
    f.quantity = field_bytes(edit5_);
    f.units = field_bytes(edit6_);
    // The set name is the model's: it changes only by choosing from the list.
}

void Tm_form::render() {
    const run_setup& f = setup_.fields;
    {
        const QSignalBlocker quiet(ComboBox1_);
        ComboBox1_->clear();
        for (const auto& name : setup_.set_names()) add_entry(ComboBox1_, name);
        ComboBox1_->setCurrentIndex(
            ComboBox1_->findText(qt_text(f.set_name), Qt::MatchExactly | Qt::MatchCaseSensitive));
    }
    set_text(Edit1_, f.sample_id);
    set_text(Edit2_, f.description);
    set_text(Edit3_, f.count);
    set_text(Edit4_, f.preset_time);
    set_text(edit5_, f.quantity);
    set_text(edit6_, f.units);
    show_plain(caption_, setup_.labels.caption);
    show_plain(alpha_, setup_.labels.alpha);
    show_plain(beta_, setup_.labels.beta);
    show_plain(k_, setup_.labels.k);
    Button2_->setEnabled(setup_.start_enabled());
}

} // namespace xkv
