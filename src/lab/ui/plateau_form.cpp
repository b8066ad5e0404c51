#include "lab/ui/plateau_form.h"

#include "app/session.h"
#include "lab/lab_store.h"
#include "settings/errors.h"
#include "settings/value_text.h"
#include "ui/named_button.h"
#include "ui/painting_wait.h"
#include "ui/qt_text.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QSaveFile>
#include <QScatterSeries>
#include <QVBoxLayout>

#include <QValueAxis>
#include <cmath>

namespace xkv {

namespace {

double field_number(const QLineEdit* field) { return parse_float(field_bytes(field)); }

std::string result_text(const plateau_analysis& a) {
    if (a.points.empty()) return "";
    if (!a.found) return "no plateau of three points within the slope limit";
    return "plateau " + format_general(a.start) + " .. " + format_general(a.end) + " V (" + format_general(a.length()) +
           " V), slope " + format_general(std::round(a.slope * 1000) / 1000) + " % per 100 V, operating voltage " +
           format_general(a.operating_voltage) + " V";
}

} // namespace

Tplateau_form::Tplateau_form(QWidget* parent, session& state, ui_services& services, std::function<void(int)> wait)
    : QDialog(parent), session_(state), services_(services), wait_(std::move(wait)),
      scan_(
          this, [this] { show_state(); }, [this] { finish(); }) {
    setObjectName("Tplateau_form");
    setWindowTitle("HV plateau");
    setModal(true);

    supply_ = new QComboBox(this);
    supply_->setObjectName("ComboBox1");
    supply_->addItems({"1", "2"});
    channel_ = new QComboBox(this);
    channel_->setObjectName("ComboBox2");
    channel_->addItems({"alpha", "beta"});
    connect(supply_, &QComboBox::currentIndexChanged, this, [this](int i) { channel_->setCurrentIndex(i); });
    const auto field = [this](const char* name, const char* text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(name);
        return e;
    };
    from_ = field("Edit1", "700");
    to_ = field("Edit2", "1300");
    step_ = field("Edit3", "50");
    preset_ = field("Edit4", "100");

    auto* form = new QFormLayout;
    form->addRow("Supply (HV)", supply_);
    form->addRow("Channel analysed", channel_);
    form->addRow("From (V)", from_);
    form->addRow("To (V)", to_);
    form->addRow("Step (V)", step_);
    form->addRow("Preset time (s)", preset_);

    start_ = named_button(this, "Button1", "START");
    stop_ = named_button(this, "Button2", "STOP");
    save_png_ = named_button(this, "Button3", "Save PNG");
    use_voltage_ = named_button(this, "Button4", "Use as HV");
    auto* close_button = named_button(this, "Button5", "CLOSE");
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {start_, stop_, save_png_, use_voltage_, close_button}) buttons->addWidget(b);
    buttons->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(form);
    left->addLayout(buttons);
    canvas_ = new plateau_canvas(this);
    canvas_->setObjectName("Chart1");
    auto* upper = new QHBoxLayout;
    upper->addLayout(left);
    upper->addWidget(canvas_, 1);
    status_ = new QLabel(this);
    status_->setObjectName("Label1");
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    auto* all = new QVBoxLayout(this);
    all->addLayout(upper, 1);
    all->addWidget(status_);

    connect(start_, &QPushButton::clicked, this, &Tplateau_form::Button1Click);
    connect(stop_, &QPushButton::clicked, this, &Tplateau_form::Button2Click);
    connect(save_png_, &QPushButton::clicked, this, &Tplateau_form::Button3Click);
    connect(use_voltage_, &QPushButton::clicked, this, &Tplateau_form::Button4Click);
    connect(close_button, &QPushButton::clicked, this, &QDialog::close);
    show_state();
}

Tplateau_form::~Tplateau_form() = default;

void Tplateau_form::open_window() {
    show_state();
    show(); // modal: the main window waits while it is open
}

void Tplateau_form::show_state() {
    const bool counting = scan_.counting();
    for (QWidget* w : std::initializer_list<QWidget*>{supply_, channel_, from_, to_, step_, preset_, start_})
        w->setEnabled(!counting);
    stop_->setEnabled(counting);
    save_png_->setEnabled(!counting && !shown_.points.empty());
    use_voltage_->setEnabled(!counting && shown_.found);
    std::string text;
    if (counting)
        text = "counting " + scan_.run()->voltage() + " V (" + std::to_string(scan_.run()->step() + 1) + " of " +
               std::to_string(scan_.run()->steps()) + ")";
    const std::string result = result_text(shown_);
    if (!result.empty()) text += (text.empty() ? "" : "   ") + result;
    show_plain(status_, text);
}

void Tplateau_form::Button1Click() {
    if (scan_.counting()) return;
    plateau_request request;
    request.supply = supply_->currentIndex() == 1 ? 2 : 1;
    request.channel = channel_->currentIndex() == 1 ? 1 : 0;
    request.voltages = plateau_voltages(field_number(from_), field_number(to_), field_number(step_));
    request.preset_time = field_bytes(preset_);
    if (request.voltages.empty() || digits_to_int(request.preset_time) <= 0) {
        services_.show_message("Enter From up to To in steps above 0, and a preset time above 0");
        return;
    }
    session& state = session_;
    auto scan = std::make_unique<plateau_scan>(state.options, state.profile, request, wait_, &state.log);
    scan->on_point([this](const plateau_point&) {
        shown_ = scan_.run()->analysis();
        canvas_->show_analysis(shown_, scan_.run()->request().channel);
        show_state();
    });
    shown_ = {};
    canvas_->show_analysis(shown_, request.channel);
    scan_.start(std::move(scan));
}

void Tplateau_form::Timer1Timer() { scan_.tick(); }

void Tplateau_form::Button2Click() { scan_.stop(); }

void Tplateau_form::finish() {
    const plateau_scan& scan = *scan_.run();
    shown_ = scan.analysis();
    canvas_->show_analysis(shown_, scan.request().channel);
    show_state();
    for (const std::string& text : scan_.run()->take_notices()) services_.show_error(text);
    if (shown_.points.empty()) return;
    const plateau_request& r = scan.request();
    plateau_record record =
        plateau_record_of(shown_, r.supply, r.channel, r.preset_time, r.max_slope, origin_now(scan.counter()));
    const std::string location = session_.database_path();
    const int wait_ms = session_.read_only.busy_timeout_ms;
    painting_call([&] { lab_store(*open_results_store(location, {wait_ms})).add(record); });
}

void Tplateau_form::Button3Click() {
    const auto file = services_.choose_save_file("PNG image|*.png", "png");
    if (!file) return;
    write_plateau_png(*canvas_, *file);
    services_.show_message("file saved!");
}

void Tplateau_form::Button4Click() {
    if (!shown_.found || !scan_.run()) return;
    const int supply = scan_.run()->request().supply;
    const _options profile = profile_with_voltage(session_.profile, supply, shown_.operating_voltage);
    const std::string& voltage = supply == 2 ? profile.hv2 : profile.hv1;
    if (!services_.confirm_ok_cancel("Put " + voltage + " V into the profile as HV" + std::to_string(supply) + " ?",
                                     default_answer::cancel))
        return;
    // As the settings editor's OK: taken over as typed, the labels refreshed, then the question
    // whether to write the file.
    session_.profile = profile;
    session_.changed(session_change::profile);
    if (services_.confirm_yes_no("Save config File ?", "Confirm")) save_options(session_, services_);
}

void Tplateau_form::closeEvent(QCloseEvent* event) {
    // A scan in progress ends with the profile's voltages restored.
    if (scan_.counting()) Button2Click();
    event->accept();
}

} // namespace xkv
