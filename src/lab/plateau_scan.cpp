#include "lab/plateau_scan.h"

#include "lab/lab_record.h"
#include "settings/instrument_modes.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

// A plateau step computes no activity worth keeping; its set only has to compute (K = 1).
_calibration plateau_set() {
    _calibration set;
    set.name = "plateau";
    set.caption = "HV plateau";
    set.factor_b = set.factor_c = set.factor_d = set.factor_e = "1";
    set.units = "cps";
    return set;
}

double seconds_of(const std::string& time) {
    const auto t = digits_to_int(time);
    return static_cast<double>(t == 0 ? 1 : t);
}

} // namespace

std::vector<std::string> plateau_voltages(double from, double to, double step) {
    std::vector<std::string> out;
    if (!(step > 0) || !(to >= from)) return out;
    // Counted in whole steps, so no rounding drift leaves the last voltage out.
    const auto n = static_cast<long long>((to - from) / step + 1e-9);
    for (long long i = 0; i <= n && i < 10000; ++i) out.push_back(format_general(from + static_cast<double>(i) * step));
    return out;
}

plateau_scan::plateau_scan(_program_options options, _options profile, plateau_request request, wait_fn wait,
                           diagnostic_log* log)
    : options_(std::move(options)), profile_(std::move(profile)), request_(std::move(request)), wait_(std::move(wait)),
      log_(log) {}

plateau_scan::~plateau_scan() {
    try {
        engine_.reset();
        restore();
    } catch (...) {
        // Nothing may escape a destructor; the voltages could not go back.
    }
}

const std::string& plateau_scan::voltage() const {
    static const std::string none;
    return step_ < request_.voltages.size() ? request_.voltages[step_] : none;
}

std::vector<std::string> plateau_scan::take_notices() {
    std::vector<std::string> out;
    out.swap(notices_);
    return out;
}

void plateau_scan::start() {
    if (state_ != plateau_scan_state::idle) return;
    if (request_.voltages.empty()) {
        notices_.push_back("no voltages to scan");
        end(plateau_scan_state::failed);
        return;
    }
    step_ = 0;
    open_step();
}

bool plateau_scan::open_step() {
    _options profile = profile_;
    (request_.supply == 2 ? profile.hv2 : profile.hv1) = voltage();
    const run_setup setup{"plateau", "HV " + voltage(),    "plateau supply " + std::to_string(request_.supply),
                          "1",       request_.preset_time, "1",
                          "cps"};
    engine_ = std::make_unique<run_engine>(options_, profile, setup, std::string(), wait_, log_);
    engine_->use_parameter_set(plateau_set());
    engine_->on_interrupt(interrupted_);
    if (link_wait_) engine_->set_link_wait(link_wait_);
    if (on_render_) engine_->on_render(on_render_);
    engine_->open();
    for (const auto& n : engine_->take_notices()) notices_.push_back(n.text);
    if (engine_->state() != run_state::ready) {
        end(plateau_scan_state::failed);
        return false;
    }
    if (!engine_->online()) {
        notices_.push_back(std::string(t_xkv::no_answer));
        end(plateau_scan_state::failed);
        return false;
    }
    if (interrupted()) { // during the settle wait: nothing was started at this voltage
        end(plateau_scan_state::stopped);
        return false;
    }
    engine_->start();
    state_ = plateau_scan_state::counting;
    return true;
}

bool plateau_scan::tick() {
    if (state_ != plateau_scan_state::counting) return false;
    if (interrupted()) {
        stop();
        return false;
    }
    const bool again = engine_->tick();
    for (const auto& n : engine_->take_notices()) notices_.push_back(n.text);
    if (again) return true;
    if (engine_->state() != run_state::finished) {
        end(plateau_scan_state::failed);
        return false;
    }
    take_point();
    ++step_;
    if (interrupted())
        end(plateau_scan_state::stopped);
    else if (step_ == request_.voltages.size())
        end(plateau_scan_state::finished);
    else
        open_step();
    return timer_on();
}

void plateau_scan::stop() {
    if (state_ != plateau_scan_state::counting) return;
    engine_->stop();
    for (const auto& n : engine_->take_notices()) notices_.push_back(n.text);
    if (engine_->state() == run_state::finished) take_point();
    end(engine_->state() == run_state::failed ? plateau_scan_state::failed : plateau_scan_state::stopped);
}

void plateau_scan::take_point() {
    const _r_results& row = engine_->table()[0];
    if (row.sample_id.empty()) return;
    const double seconds = seconds_of(row.time);
    const double value = parse_float(request_.channel == 1 ? row.p2 : row.p1);
    const instrument_mode* mode = find_mode(profile_.mode);
    const bool counts = mode && mode->reads == mode_reads::counters;
    points_.push_back(counted_point(parse_float(voltage()), counts ? value : value * seconds, seconds));
    if (on_point_) on_point_(points_.back());
}

void plateau_scan::end(plateau_scan_state state) {
    engine_.reset(); // the port is free again for the restore
    state_ = state;
    restore();
}

void plateau_scan::restore() {
    if (restored_ || state_ == plateau_scan_state::idle) return;
    restored_ = true;
    // Its own connection, without the interrupt: a Ctrl-C must not cut the restore short.
    t_xkv link(options_.port, options_.speed, options_.port_devices, log_, link_wait_);
    link.set_hv1(profile_.hv1);
    link.set_hv2(profile_.hv2);
    if (!link.online) {
        notices_.push_back("the profile's voltages could not be downloaded again: the instrument does not answer");
        return;
    }
    counter_ = counter_name(link);
}

} // namespace xkv

namespace xkv {

_options profile_with_voltage(_options profile, int supply, double voltage) {
    (supply == 2 ? profile.hv2 : profile.hv1) = format_general(voltage);
    return profile;
}

} // namespace xkv
