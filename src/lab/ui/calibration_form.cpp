#include "lab/ui/calibration_form.h"

#include "app/session.h"
#include "lab/calibration_entry.h"
#include "lab/calibration_keeping.h"
#include "lab/calibration_records.h"
#include "lab/standard_calibration.h"
#include "measurement/parameter_sets.h"
#include "results/results_store.h"
#include "settings/settings_files.h"
#include "settings/value_text.h"
#include "ui/named_button.h"
#include "ui/painting_wait.h"
#include "ui/qt_text.h"
#include "ui/text_grid_model.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace xkv {

namespace {

constexpr std::array<calibration_kind, calibration_kind_count> kinds = {
    calibration_kind::alpha_efficiency, calibration_kind::beta_efficiency, calibration_kind::alpha_to_beta,
    calibration_kind::beta_to_alpha};

// An efficiency's uncertainty is relative, a crosstalk factor's standard.
const char* u_label(calibration_kind kind) { return is_efficiency(kind) ? "   u_rel " : "   u "; }

std::string today() { return utc_now_text().substr(0, 10); }

} // namespace

struct Tcalibration_form::entry_field {
    QLineEdit* Tcalibration_form::*edit;
    const char* object_name;
    const char* caption;
    const char* placeholder;
    std::string calibration_entry::*value; // nullptr: not part of the entry (the preset time)
    bool certificate;                      // the standard's certificate: an efficiency standard's only
};

const Tcalibration_form::entry_field Tcalibration_form::entry_fields[] = {
    {&Tcalibration_form::nuclide_, "Edit1", "Nuclide", "", &calibration_entry::nuclide, false},
    {&Tcalibration_form::activity_, "Edit2", "Activity A0 (Bq)", "", &calibration_entry::activity, true},
    {&Tcalibration_form::u_activity_, "Edit3", "u(A0) (Bq)", "", &calibration_entry::u_activity, true},
    {&Tcalibration_form::reference_date_, "Edit4", "Reference date", "YYYY-MM-DD", &calibration_entry::reference_date,
     true},
    {&Tcalibration_form::half_life_, "Edit5", "Half-life (years)", "", &calibration_entry::half_life_years, true},
    {&Tcalibration_form::preset_, "Edit6", "Preset time (s)", "the set's", nullptr, false},
    {&Tcalibration_form::counts_, "Edit7", "Counts (N, or N_alpha,N_beta)", "", &calibration_entry::counts, false},
    {&Tcalibration_form::time_, "Edit8", "Counting time (s)", "", &calibration_entry::time, false},
    {&Tcalibration_form::measured_, "Edit9", "Measured on", "YYYY-MM-DD", &calibration_entry::measured_date, false},
};

Tcalibration_form::Tcalibration_form(QWidget* parent, session& state, ui_services& services,
                                     std::function<void(int)> wait)
    : QDialog(parent), session_(state), services_(services), wait_(std::move(wait)),
      run_(
          this, [this] { show_state(); }, [this] { finish(); }) {
    setObjectName("Tcalibration_form");
    setWindowTitle("Calibration");
    setModal(true);

    kind_ = new QComboBox(this);
    kind_->setObjectName("ComboBox1");
    for (calibration_kind k : kinds) add_entry(kind_, kind_name(k));
    set_ = new QComboBox(this);
    set_->setObjectName("ComboBox2");
    for (const entry_field& f : entry_fields) {
        auto* e = new QLineEdit(this);
        e->setObjectName(f.object_name);
        e->setPlaceholderText(f.placeholder);
        this->*f.edit = e;
    }
    apply_ = new QCheckBox("Apply to the set's keys when kept", this);
    apply_->setObjectName("CheckBox1");

    auto* form = new QFormLayout;
    form->addRow("Calibration", kind_);
    form->addRow("Parameter set", set_);
    for (const entry_field& f : entry_fields) form->addRow(f.caption, this->*f.edit);
    form->addRow(apply_);

    start_ = named_button(this, "Button1", "START");
    stop_ = named_button(this, "Button2", "STOP");
    compute_ = named_button(this, "Button3", "Compute");
    keep_ = named_button(this, "Button4", "Keep");
    auto* close_button = named_button(this, "Button5", "CLOSE");
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {start_, stop_, compute_, keep_, close_button}) buttons->addWidget(b);
    buttons->addStretch();

    auto* upper = new QHBoxLayout;
    upper->addLayout(form, 1);
    upper->addLayout(buttons);
    status_ = new QLabel(this);
    status_->setObjectName("Label1");
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    history_ = new text_grid_model(this);
    Grid1_ = new QTableView(this);
    Grid1_->setObjectName("Grid1");
    Grid1_->setModel(history_);
    Grid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1_->verticalHeader()->setVisible(false);
    auto* all = new QVBoxLayout(this);
    all->addLayout(upper);
    all->addWidget(status_);
    all->addWidget(new QLabel("History of the set", this));
    all->addWidget(Grid1_, 1);
    resize(900, 640);

    connect(start_, &QPushButton::clicked, this, &Tcalibration_form::Button1Click);
    connect(stop_, &QPushButton::clicked, this, &Tcalibration_form::Button2Click);
    connect(compute_, &QPushButton::clicked, this, &Tcalibration_form::Button3Click);
    connect(keep_, &QPushButton::clicked, this, &Tcalibration_form::Button4Click);
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    // Another kind or set makes the computed value nobody's: it has to be computed again.
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        forget_result();
        show_state();
    });
    connect(set_, &QComboBox::currentIndexChanged, this, [this] {
        forget_result();
        show_history();
        show_state();
    });
    show_state();
}

Tcalibration_form::~Tcalibration_form() = default;

std::string Tcalibration_form::calibration_path() const { return session_.file(calibration_file); }

calibration_kind Tcalibration_form::kind() const {
    const int i = kind_->currentIndex();
    return i >= 0 && i < static_cast<int>(kinds.size()) ? kinds[static_cast<std::size_t>(i)] : kinds[0];
}

calibration_entry Tcalibration_form::entry() const {
    calibration_entry e;
    e.set_name = entry_bytes(set_);
    e.kind = kind();
    for (const entry_field& f : entry_fields)
        if (f.value) e.*f.value = field_bytes(this->*f.edit);
    return e;
}

void Tcalibration_form::open_window() {
    refill_sets();
    if (measured_->text().isEmpty()) show_field(measured_, today());
    show_history();
    show_state();
    show(); // modal: the main window waits while it is open
}

void Tcalibration_form::refill_sets() {
    const std::string chosen = entry_bytes(set_);
    measurement_setup sets(calibration_path());
    sets.form_show();
    const QSignalBlocker quiet(set_);
    set_->clear();
    for (const std::string& name : sets.set_names()) add_entry(set_, name);
    const int again = set_->findText(qt_text(chosen));
    set_->setCurrentIndex(again >= 0 ? again : (set_->count() > 0 ? 0 : -1));
}

void Tcalibration_form::show_history() {
    std::vector<std::vector<std::string>> rows{calibration_history_headers};
    const std::string set = entry_bytes(set_), location = session_.database_path();
    const int wait_ms = session_.read_only.busy_timeout_ms;
    try {
        painting_call([&] { // a server may take its bounded time to answer
            if (const auto store = open_existing_store(location, {wait_ms}))
                for (const calibration_record& r : calibration_history(*store, set))
                    rows.push_back(calibration_history_cells(r));
        });
    } catch (const std::exception& e) {
        services_.show_error(e.what()); // the history stays empty; nothing else depends on it
    }
    history_->set_grid(rows);
    Grid1_->resizeColumnsToContents();
}

void Tcalibration_form::show_state() {
    const bool counting = run_.counting();
    const bool efficiency = is_efficiency(kind());
    for (QWidget* w : std::initializer_list<QWidget*>{kind_, set_, apply_, start_, compute_}) w->setEnabled(!counting);
    for (const entry_field& f : entry_fields)
        (this->*f.edit)->setEnabled(!counting && (!f.certificate || efficiency)); // a crosstalk source needs none
    stop_->setEnabled(counting);
    keep_->setEnabled(!counting && pending_.has_value());
    std::string text = result_text_;
    if (counting && run_.run()->engine()) {
        const run_labels& l = run_.run()->engine()->labels();
        text = "counting the standard";
        for (const std::string* part :
             {&l.preset_time, &l.measurement_time, &l.remaining_time, &l.alpha_value, &l.beta_value})
            if (!part->empty()) text += "   " + *part;
    }
    show_plain(status_, text);
}

void Tcalibration_form::show_result(calibration_record record, std::string counter) {
    result_text_ = std::string(kind_name(record.kind)) + " of " + record.set_name + ": " + record.value +
                   u_label(record.kind) + record.u + "   (not kept yet)";
    pending_ = std::move(record);
    pending_counter_ = std::move(counter);
    show_state();
}

void Tcalibration_form::forget_result() {
    pending_.reset();
    result_text_.clear();
}

void Tcalibration_form::Button1Click() {
    if (run_.counting()) return;
    forget_result();
    std::unique_ptr<standard_run> run;
    try {
        const std::string preset = field_bytes(preset_);
        measurement_setup setup = standard_setup(calibration_path(), entry_bytes(set_), kind(), field_bytes(nuclide_),
                                                 preset.empty() ? std::nullopt : std::optional<std::string>(preset));
        session& s = session_;
        run = std::make_unique<standard_run>(s.options, s.profile, calibration_path(), std::move(setup), wait_, &s.log);
    } catch (const std::exception& e) { // a set whose K cannot be computed
        services_.show_error(e.what());
        show_state();
        return;
    }
    run_.start(std::move(run));
}

void Tcalibration_form::Timer1Timer() { run_.tick(); }

void Tcalibration_form::Button2Click() { run_.stop(); }

void Tcalibration_form::finish() {
    standard_run& run = *run_.run();
    for (const std::string& text : run.take_notices()) services_.show_error(text);
    if (run.state() == standard_run_state::finished) {
        // The counts go into the fields, as read elsewhere they would have been typed.
        show_field(counts_, entered_counts_text(run.counts(), kind()));
        show_field(time_, format_general(run.counts().time));
        show_field(measured_, today());
        try {
            show_result(calibration_of_entry(entry(), run.counts()), run.counter());
        } catch (const calibration_error& e) {
            services_.show_message(std::string(e.what()) + ": nothing to keep");
        }
    }
    show_state();
}

void Tcalibration_form::Button3Click() {
    forget_result();
    try {
        const calibration_entry e = entry();
        const _calibration set = load_parameter_set(calibration_path(), e.set_name);
        show_result(calibration_of_entry(e, session_.profile, set), std::string()); // no instrument counted it
    } catch (const std::exception& e) { // bad numbers, a calibration that cannot be, an unreadable set
        services_.show_message(std::string(e.what()) + ": nothing to keep");
    }
    show_state();
}

void Tcalibration_form::Button4Click() {
    if (!pending_) return;
    std::optional<calibration_record> kept;
    try {
        const std::string location = session_.database_path();
        const int wait_ms = session_.read_only.busy_timeout_ms;
        const bool apply = apply_->isChecked();
        painting_call([&] {
            kept = store_calibration(*open_results_store(location, {wait_ms}), *pending_, pending_counter_, apply);
        });
        pending_.reset(); // stored: a second Keep would make a second version of it
        result_text_ = std::string(kind_name(kept->kind)) + " v" + kept->version + " of " + kept->set_name +
                       " kept: " + kept->value + u_label(kept->kind) + kept->u;
        if (kept->applied) {
            apply_calibration(calibration_path(), *kept);
            result_text_ += "   applied to the set's keys";
        }
    } catch (const std::exception& e) { // a database or settings file that cannot be written
        if (kept) result_text_ += "   NOT applied";
        services_.show_error(e.what());
    }
    show_history();
    show_state();
}

void Tcalibration_form::closeEvent(QCloseEvent* event) {
    // A count in progress stops with the window; nothing is computed from it.
    if (run_.counting()) {
        run_.stop(false);
        run_.run()->take_notices();
    }
    event->accept();
}

} // namespace xkv
