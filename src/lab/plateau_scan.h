#pragma once
// The plateau scan: for each voltage of one supply, a measurement through the run engine exactly as
// an ordinary one (the settings download with that supply's voltage, the settle wait, "G", counting
// to the preset, the reads, "S"), then the next voltage. Whatever ends the scan (its last voltage,
// STOP, a failure, an interrupt, the object's destruction), the profile's own voltages go back to
// the instrument. The caller drives the ticks as it drives a run's: tick() every 500 ms while
// timer_on().

#include "lab/plateau.h"
#include "link/diagnostic_log.h"
#include "measurement/run_engine.h"
#include "settings/options.h"
#include "settings/program_options.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace xkv {

struct plateau_request {
    int supply = 1;                    // 1 ("j1") or 2 ("j2")
    int channel = 0;                   // the rate analysed: 0 alpha, 1 beta
    std::vector<std::string> voltages; // as sent, in scan order
    std::string preset_time = "100";   // seconds, as sent
    double max_slope = default_plateau_max_slope;
};

// The voltages from..to by step (to included when the steps reach it); empty for a step that is not
// above 0 or a range that runs backwards. Each in the general number format.
std::vector<std::string> plateau_voltages(double from, double to, double step);

// The default channel of a supply: supply 1 alpha, supply 2 beta.
inline int default_plateau_channel(int supply) { return supply == 2 ? 1 : 0; }

enum class plateau_scan_state {
    idle,
    counting,
    finished,
    stopped,
    failed
};

class plateau_scan {
public:
    using wait_fn = run_engine::wait_fn;

    plateau_scan(_program_options options, _options profile, plateau_request request, wait_fn wait,
                 diagnostic_log* log = nullptr);
    ~plateau_scan(); // restores the profile's voltages if nothing did yet
    plateau_scan(const plateau_scan&) = delete;
    plateau_scan& operator=(const plateau_scan&) = delete;

    // Asked by the link while it reads and between steps: once true, the step in progress stops
    // and is kept, and the scan ends.
    void on_interrupt(std::function<bool()> fn) { interrupted_ = std::move(fn); }
    // Each measured point as it comes, for a live curve.
    void on_point(std::function<void(const plateau_point&)> fn) { on_point_ = std::move(fn); }
    // Called before every fixed wait, so a window shows the state reached.
    void on_render(std::function<void()> fn) { on_render_ = std::move(fn); }
    void set_link_wait(wait_fn wait) { link_wait_ = std::move(wait); }

    void start(); // opens the first step and starts its count
    bool tick();  // true while the timer is to be armed again
    void stop();  // STOP: the count in progress ends and is kept; the scan ends

    plateau_scan_state state() const { return state_; }
    bool timer_on() const { return state_ == plateau_scan_state::counting; }
    const std::vector<plateau_point>& points() const { return points_; }
    // The step in progress (0-based) and its voltage text; the step count.
    std::size_t step() const { return step_; }
    const std::string& voltage() const;
    std::size_t steps() const { return request_.voltages.size(); }
    const plateau_request& request() const { return request_; }
    const run_engine* engine() const { return engine_.get(); }
    // Texts to show (a failure's reason), handed over once.
    std::vector<std::string> take_notices();
    // The counter's first reply line to "n", asked when the voltages are restored; empty if none.
    const std::string& counter() const { return counter_; }
    bool restored() const { return restored_; }

    plateau_analysis analysis() const { return analyse_plateau(points_, request_.max_slope); }

private:
    bool interrupted() const { return interrupted_ && interrupted_(); }
    bool open_step();  // false when the scan ended there
    void take_point(); // the finished step's row becomes a point
    void end(plateau_scan_state state);
    void restore();

    _program_options options_;
    _options profile_;
    plateau_request request_;
    wait_fn wait_;
    wait_fn link_wait_;
    diagnostic_log* log_;
    std::function<bool()> interrupted_;
    std::function<void(const plateau_point&)> on_point_;
    std::function<void()> on_render_;

    std::unique_ptr<run_engine> engine_;
    plateau_scan_state state_ = plateau_scan_state::idle;
    std::size_t step_ = 0;
    std::vector<plateau_point> points_;
    std::vector<std::string> notices_;
    std::string counter_;
    bool restored_ = false;
};

} // namespace xkv

namespace xkv {

// The profile with a supply's voltage set to `voltage` in the general number format: what the
// settings editor would take over had the operator typed it.
_options profile_with_voltage(_options profile, int supply, double voltage);

} // namespace xkv
