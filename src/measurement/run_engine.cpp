#include "measurement/run_engine.h"

#include "measurement/compute_results.h"
#include "measurement/parameter_sets.h"
#include "settings/instrument_modes.h"
#include "settings/value_text.h"

#include <algorithm>
#include <stdexcept>

namespace xkv {

namespace {

// Counter modes count, ratemeter modes give counts per second.
const char* value_unit(std::int32_t mode) {
    const instrument_mode* m = find_mode(mode);
    return m && m->reads == mode_reads::counters ? " counts" : " cps";
}

std::optional<double> value_or_none(const std::string& text) {
    try {
        return parse_float(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// A free slot of the run table shows nothing, also where the parameter set's texts default to "1".
_r_results free_slot() {
    _r_results row;
    _calibration& set = row.calibration;
    set.alpha.clear();
    set.beta.clear();
    set.act_alpha.clear();
    set.act_beta.clear();
    return row;
}

} // namespace

run_buttons buttons_of(button_set set) {
    switch (set) {
    case button_set::none: return {};
    case button_set::ready: return {false, true, false, true, true, true};
    case button_set::counting: return {true, false, true, false, false, false};
    case button_set::finished: return {false, true, false, true, true, true};
    case button_set::failed: return {false, false, false, true, true, true};
    }
    return {};
}

run_engine::run_engine(_program_options options, _options profile, run_setup setup, std::string calibration_path,
                       wait_fn wait, diagnostic_log* log)
    : options_(std::move(options)), profile_(std::move(profile)), run_setup_(std::move(setup)),
      calibration_path_(std::move(calibration_path)), wait_(std::move(wait)), log_(log) {}

run_engine::~run_engine() = default;

std::size_t run_engine::row_count() const {
    std::size_t n = 0;
    while (n < table_.size() && !table_[n].sample_id.empty()) ++n;
    return n;
}

std::vector<run_notice> run_engine::take_notices() {
    std::vector<run_notice> out;
    out.swap(notices_);
    return out;
}

void run_engine::open() {
    if (state_ != run_state::preparing) return;
    try {
        open_steps();
    } catch (const std::exception& e) {
        // Nothing can be measured with this setup: say why, release the port, offer no START.
        notices_.push_back({e.what(), true});
        close();
    }
}

void run_engine::open_steps() {
    clear_table();
    tick_phase_ = 1;
    progress_.measurement = 0;
    labels_.alpha_value.clear();
    labels_.beta_value.clear();
    labels_.measurement_time.clear();

    link_ = std::make_unique<t_xkv>(options_.port, options_.speed, options_.port_devices, log_, link_wait_);
    link_->interrupted = interrupted_;

    setup_.profile = profile_;
    setup_.calibration = own_set_ ? *own_set_ : load_parameter_set(calibration_path_, run_setup_.set_name);
    const std::vector<std::string> refusals = run_setup_refusals(run_setup_);
    if (!refusals.empty()) {
        for (const auto& text : refusals) notices_.push_back({text, false});
        close();
        return;
    }
    setup_.quantity = parse_float(run_setup_.quantity);
    setup_.units = run_setup_.units;
    setup_.preset_time = static_cast<std::int32_t>(digits_to_int(run_setup_.preset_time));
    setup_.sample_id = run_setup_.sample_id;
    setup_.description = run_setup_.description;
    setup_.series_total = static_cast<std::int32_t>(digits_to_int(run_setup_.count));
    setup_.series_number = 1;

    download_settings(*link_, setup_.profile, run_setup_.preset_time);

    const _calibration& set = setup_.calibration;
    show_sample_labels();
    labels_.alpha_uncertainty = "Alpha uncertainty= " + set.act_alpha;
    labels_.beta_uncertainty = "Beta uncertainty= " + set.act_beta;

    setup_.koef_k = set_factor_k(set);
    labels_.k = k_label(setup_.koef_k);
    labels_.transfer_factor = "Transfer factor =" + set.factor_b;
    labels_.background = set.background_correction ? "" : "Background measurment";
    labels_.preset_time = "Preset time : " + std::to_string(setup_.preset_time) + " s ";

    pause(settings_wait_ms);
    set_buttons(button_set::ready);
    timer_on_ = false;
    state_ = run_state::ready;
}

void run_engine::start() {
    if (state_ != run_state::ready && state_ != run_state::finished) return;
    setup_.series_number = 1;
    set_buttons(button_set::counting);
    clear_table();
    show_sample_labels();
    // Until the first tick the efficiencies show with their uncertainties.
    const _calibration& set = setup_.calibration;
    labels_.alpha_efficiency = " = " + set.alpha + " / " + set.act_alpha;
    labels_.beta_efficiency = " = " + set.beta + " / " + set.act_beta;
    last_elapsed_seconds_ = 0;
    missing_time_replies_ = 0;
    stalled_time_ticks_ = 0;
    link_->start_count();
    timer_on_ = true;
    state_ = run_state::counting;
}

bool run_engine::tick() {
    if (state_ != run_state::counting || !timer_on_) return false;
    timer_on_ = false;
    try {
        tick_steps();
    } catch (const std::exception& e) {
        // A time text too large to count, or the like: the run must not hang with the timer off.
        fail(e.what(), true);
    }
    return timer_on_;
}

void run_engine::tick_steps() {
    tick_phase_ = 3 - tick_phase_;
    show_sample_labels();
    progress_.measurement_max = setup_.preset_time;
    progress_.total_max = std::int64_t{setup_.preset_time} * setup_.series_total;

    std::int64_t E = 0; // a counter tick does not read the time
    if (tick_phase_ == 1) {
        if (!time_tick(E)) return;
    } else {
        const channel_values v = read_channels();
        const char* unit = value_unit(setup_.profile.mode);
        labels_.alpha_value = "Alpha counter : " + v.alpha + unit;
        labels_.beta_value = "Beta counter  : " + v.beta + unit;
        if (link_->read_error < 1) plot(v, last_elapsed_seconds_);
    }

    if (link_->read_error >= 1) {
        fail(communication_error_message, true);
        return;
    }
    if (E < setup_.preset_time) {
        timer_on_ = true;
        return;
    }

    // The measurement has reached its time (only a time tick gets here).
    if (!end_measurement("BETA  : ", "Current count   : ", "Total count     : ")) return;

    if (setup_.series_number < setup_.series_total && !(interrupted_ && interrupted_())) {
        ++setup_.series_number;
        last_elapsed_seconds_ = 0;
        stalled_time_ticks_ = 0;
        link_->start_count();
        pause(restart_wait_ms);
        timer_on_ = true;
    } else {
        set_buttons(button_set::finished);
        timer_on_ = false;
        state_ = run_state::finished;
    }
    const channel_values after = read_channels();
    labels_.alpha_value = "ALPHA : " + after.alpha;
    labels_.beta_value = "BETA : " + after.beta;
}

void run_engine::stop() {
    if (state_ != run_state::counting) return;
    link_->stop_count();
    if (!link_->online) { // nothing answers, so nothing was measured: STOP still ends the run
        fail(communication_error_message, true);
        return;
    }
    set_buttons(button_set::finished);
    timer_on_ = false;
    state_ = run_state::finished;
    try {
        end_measurement("BETA : ", "Current count : ", "Total count : ");
    } catch (const std::exception& e) {
        fail(e.what(), true);
    }
}

void run_engine::abort(const confirm_fn& confirm) {
    if (state_ != run_state::counting) return;
    if (!confirm(abort_question)) return;
    link_->stop_count();
    set_buttons(button_set::failed);
    timer_on_ = false;
    close();
}

void run_engine::close_run(const confirm_fn& confirm) {
    if (state_ != run_state::ready && state_ != run_state::finished && state_ != run_state::failed) return;
    if (!confirm(close_question)) return;
    timer_on_ = false;
    close();
}

void run_engine::pause(int ms) {
    const button_set after = buttons_;
    set_buttons(button_set::none);
    if (on_render_) on_render_();
    wait_(ms);
    set_buttons(after);
}

void run_engine::close() {
    timer_on_ = false;
    link_.reset();
    state_ = run_state::closed;
}

void run_engine::show_sample_labels() {
    const _calibration& set = setup_.calibration;
    labels_.sample_id = "Sample ID : " + setup_.sample_id;
    labels_.description = "Description : " + setup_.description;
    labels_.set_caption = set.caption;
    labels_.alpha_efficiency = "ALPHA = " + set.alpha;
    labels_.beta_efficiency = "BETA = " + set.beta;
    caption_ = run_caption;
}

bool run_engine::end_measurement(const char* beta_prefix, const char* current_prefix, const char* total_prefix) {
    const channel_values v = read_channels();
    labels_.alpha_value = "ALPHA : " + v.alpha;
    labels_.beta_value = beta_prefix + v.beta;
    if (link_->read_error >= 1) {
        // Values cut short must not become a row.
        fail(communication_error_message, true);
        return false;
    }
    const std::string elapsed = read_time();
    if (link_->read_error >= 1 || !time_replied_) { // a time line that never ended, or no reply
        fail(communication_error_message, false);
        return false;
    }
    const std::optional<std::int64_t> seconds = checked_elapsed(elapsed);
    if (!seconds) return false;
    last_elapsed_ = elapsed;
    show_time(elapsed, *seconds, false, current_prefix, total_prefix);
    plot(v, *seconds); // the chart ends on the values the row keeps
    link_->stop_count();
    pause(stop_wait_ms);
    return finish_measurement(v, elapsed);
}

void run_engine::plot(const channel_values& v, std::int64_t elapsed) {
    if (on_channels_)
        on_channels_({setup_.series_number, elapsed, v.alpha, v.beta, value_or_none(v.alpha), value_or_none(v.beta)});
}

run_engine::channel_values run_engine::read_channels() {
    t_My_line_res reply;
    link_->idle_limit = options_.timeout;
    link_->read_error = 0;
    // An unknown mode reads nothing.
    const instrument_mode* mode = find_mode(setup_.profile.mode);
    if (mode && mode->reads == mode_reads::counters) link_->read_counters(0, reply);
    if (mode && mode->reads == mode_reads::ratemeters) link_->read_ratemeters(0, reply);
    channel_values v{reply.lines[0], reply.lines[1]};
    if (options_.revert_channels) std::swap(v.alpha, v.beta);
    return v;
}

std::string run_engine::read_time() {
    std::string elapsed; // stays empty when the link is offline
    link_->read_time(elapsed);
    time_replied_ = link_->online && link_->last_reply.count == 1;
    return elapsed;
}

bool run_engine::time_tick(std::int64_t& E) {
    last_elapsed_ = read_time();
    if (link_->read_error < 1 && !time_replied_) {
        // An instrument that fell silent for the whole reply timeout is gone, as for a value read.
        if (link_->online) {
            fail(communication_error_message, true);
            return false;
        }
        // Nothing answers at all: the run waits a few ticks, showing nothing to press, then fails.
        show_time(last_elapsed_, 0, true, "Current count : ", "Total count : ");
        if (++missing_time_replies_ >= missing_time_replies_limit) {
            fail(communication_error_message, true);
            return false;
        }
        set_buttons(button_set::none);
        timer_on_ = true;
        return false;
    }
    if (link_->read_error >= 1) return true; // the tick fails the run on the read error
    const std::optional<std::int64_t> seconds = checked_elapsed(last_elapsed_);
    if (!seconds) return false;
    stalled_time_ticks_ = *seconds == last_elapsed_seconds_ ? stalled_time_ticks_ + 1 : 0;
    E = *seconds;
    last_elapsed_seconds_ = E;
    show_time(last_elapsed_, E, true, "Current count : ", "Total count : ");
    // A count whose time stopped (a preset the instrument took otherwise) would never end.
    if (stalled_time_ticks_ >= stalled_time_ticks_limit) {
        fail(communication_error_message, true);
        return false;
    }
    return true;
}

std::optional<std::int64_t> run_engine::checked_elapsed(const std::string& elapsed) {
    const bool digits =
        !elapsed.empty() && std::all_of(elapsed.begin(), elapsed.end(), [](char c) { return c >= '0' && c <= '9'; });
    // A garbled reply read by its digits alone would become a wrong time, and with it wrong results.
    const std::int64_t seconds = digits ? digits_to_int(elapsed) : -1;
    if (!digits || seconds < last_elapsed_seconds_ || seconds > setup_.preset_time) {
        fail(communication_error_message, true);
        return std::nullopt;
    }
    return seconds;
}

void run_engine::show_time(const std::string& elapsed, std::int64_t E, bool rewrite_preset, const char* current_prefix,
                           const char* total_prefix) {
    progress_.measurement = E;
    progress_.total = E + std::int64_t{setup_.series_number - 1} * setup_.preset_time;
    if (rewrite_preset) labels_.preset_time = "Preset time : " + std::to_string(setup_.preset_time) + " s ";
    labels_.measurement_time = "Measurment time : " + elapsed + " s ";
    labels_.remaining_time = "Remaining time  : " + std::to_string(setup_.preset_time - E) + " s ";
    labels_.current_count = current_prefix + std::to_string(setup_.series_number);
    labels_.total_count = total_prefix + std::to_string(setup_.series_total);
}

void run_engine::fail(const std::string& text, bool error) {
    if (link_) link_->stop_count();
    set_buttons(button_set::failed);
    timer_on_ = false;
    state_ = run_state::failed;
    notices_.push_back({text, error});
}

bool run_engine::finish_measurement(const channel_values& values, const std::string& elapsed) {
    const std::size_t slot = row_count();
    if (slot + 1 >= table_.size()) {
        fail("The run table is full", true);
        return false;
    }
    _r_results& row = table_[slot];
    try {
        fill_measured(row, values, elapsed);
    } catch (const std::exception& e) {
        // Values that are no numbers were not measured: such a row is never saved or reported.
        row = free_slot();
        fail(failure_text(e, values), true);
        return false;
    }
    try {
        compute_results(row, setup_, values.alpha, values.beta);
        return true;
    } catch (const std::exception& e) {
        // The count itself is sound: the row keeps it, with empty results, and can be saved.
        keep_without_results(row);
        fail(failure_text(e, values), true);
        return false;
    }
}

std::string run_engine::failure_text(const std::exception& e, const channel_values& values) {
    return std::string(e.what()) + " (alpha value \"" + values.alpha + "\", beta value \"" + values.beta + "\")";
}

void run_engine::fill_measured(_r_results& row, const channel_values& values, const std::string& elapsed) {
    // The values must be numbers before the row takes its sample ID (only then is the slot filled).
    const std::string p1 = measured_value(values.alpha);
    const std::string p2 = measured_value(values.beta);
    row.sample_id = setup_.sample_id;
    row.calibration = setup_.calibration;
    row.description = setup_.description;
    row.series_number = std::to_string(setup_.series_number);
    row.hv = setup_.profile.hv1;
    row.mode.clear();
    mode_name(setup_.profile.mode, row.mode);
    row.p1 = p1;
    row.p2 = p2;
    row.time = elapsed;
    row.preset_time = std::to_string(setup_.preset_time);
}

std::string run_engine::measured_value(const std::string& value) const {
    if (value.empty()) {
        // A one-line mode gives no second value; in any other mode an empty value was not read.
        if (!one_line_mode(setup_.profile.mode)) parse_float(value);
        return "0";
    }
    return format_general(parse_float(value));
}

void run_engine::keep_without_results(_r_results& row) const {
    for (std::string* result : {&row.activity_l, &row.u_activity_l, &row.activity_b, &row.u_activity_b, &row.MDA_a,
                                &row.MDA_b, &row.text_act_a, &row.text_act_b})
        result->clear();
    row.koef_k = number_text(setup_.koef_k);
    row.quantity = format_general(setup_.quantity);
    row.units = setup_.units;
    row.background = setup_.profile.background;
}

void run_engine::clear_table() {
    // Emptying whole rows: nothing of an earlier series can leak into a later one.
    table_.fill(free_slot());
}

} // namespace xkv
