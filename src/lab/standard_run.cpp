#include "lab/standard_run.h"

#include "link/device_test.h"
#include "settings/errors.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

// The instrument's identity as one line.
std::string one_line(std::string text) {
    for (char& ch : text)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return std::string(trim_control(text));
}

} // namespace

measurement_setup standard_setup(const std::string& calibration_path, const std::string& set_name,
                                 calibration_kind kind, const std::string& nuclide,
                                 const std::optional<std::string>& preset_time) {
    measurement_setup setup(calibration_path);
    setup.form_show();
    setup.choose_set(set_name);
    setup.fields.sample_id = "standard" + (nuclide.empty() ? std::string() : " " + nuclide);
    setup.fields.description = standard_description(kind);
    if (preset_time) setup.fields.preset_time = *preset_time;
    if (setup.fields.quantity.empty()) setup.fields.quantity = "1";
    if (setup.fields.units.empty()) setup.fields.units = "Bq";
    setup.fields_changed();
    return setup;
}

std::string instrument_counter(const _program_options& options, const run_engine::wait_fn& wait) {
    return one_line(run_device_test(options, nullptr, wait));
}

standard_run::standard_run(_program_options options, _options profile, std::string calibration_path,
                           measurement_setup setup, wait_fn wait, diagnostic_log* log)
    : options_(std::move(options)), profile_(std::move(profile)), calibration_path_(std::move(calibration_path)),
      setup_(std::move(setup)), wait_(std::move(wait)), log_(log) {}

standard_run::~standard_run() {
    try {
        if (engine_) engine_->close();
    } catch (...) {
        // Nothing may escape a destructor; the link is released with the engine.
    }
}

std::vector<std::string> standard_run::take_notices() {
    std::vector<std::string> out;
    out.swap(notices_);
    return out;
}

void standard_run::take_engine_notices() {
    for (const auto& n : engine_->take_notices()) notices_.push_back(n.text);
}

void standard_run::start() {
    if (state_ != standard_run_state::idle) return;
    state_ = standard_run_state::failed; // until the count runs
    if (!setup_.start_enabled()) {
        notices_.push_back("START is not possible: enter the preset time, quantity and units of the set");
        return;
    }
    setup_start checked;
    try {
        checked = setup_.start();
    } catch (const conversion_error& e) { // a preset time that is no number
        notices_.push_back(e.what());
        return;
    }
    for (const auto& m : checked.messages) notices_.push_back(m);
    if (!checked.open_run) return;

    counter_ = instrument_counter(options_, link_wait_ ? link_wait_ : wait_);
    engine_ = std::make_unique<run_engine>(options_, profile_, setup_.fields, calibration_path_, wait_, log_);
    if (link_wait_) engine_->set_link_wait(link_wait_);
    if (on_render_) engine_->on_render(on_render_);
    engine_->open();
    take_engine_notices();
    if (engine_->state() != run_state::ready) return end();
    if (!engine_->online()) { // a count nothing answers could never end
        notices_.push_back(std::string(t_xkv::no_answer));
        return end();
    }
    engine_->start();
    take_engine_notices();
    state_ = standard_run_state::counting;
    if (!engine_->timer_on()) end();
}

bool standard_run::tick() {
    if (state_ != standard_run_state::counting) return false;
    const bool again = engine_->tick();
    take_engine_notices();
    if (again) return true;
    end();
    return false;
}

void standard_run::stop() {
    if (state_ != standard_run_state::counting) return;
    engine_->stop();
    take_engine_notices();
    end();
}

void standard_run::end() {
    const bool counted = engine_ && engine_->state() == run_state::finished && engine_->row_count() > 0;
    state_ = standard_run_state::failed;
    if (counted) {
        try {
            counts_ = counts_of_row(engine_->table()[0]);
            state_ = standard_run_state::finished;
        } catch (const conversion_error& e) {
            notices_.push_back(e.what());
        }
    } else if (engine_) {
        notices_.push_back("the standard's count did not finish: nothing was counted");
    }
    if (engine_) engine_->close(); // the port is free again
}

} // namespace xkv
