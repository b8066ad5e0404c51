#pragma once
// A standard counted as an ordinary sample is counted: the set chosen in the measurement setup, START's
// checks, the run engine's settings download, waits, "G", the reads to the preset time and "S". The
// CLI drives the setup and the engine with its sleep loop; the calibration window drives
// standard_run with its 500 ms timer, as the run window drives a run.

#include "lab/calibration_entry.h"
#include "link/diagnostic_log.h"
#include "measurement/measurement_setup.h"
#include "measurement/run_engine.h"
#include "settings/options.h"
#include "settings/program_options.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xkv {

// The setup of a standard's run: sample "standard <nuclide>", the kind's description, the preset
// time given (else the set's), quantity 1 and units Bq where the set gives none. Throws as
// measurement_setup::choose_set does.
measurement_setup standard_setup(const std::string& calibration_path, const std::string& set_name,
                                 calibration_kind kind, const std::string& nuclide,
                                 const std::optional<std::string>& preset_time);

// The counter's identity for the record: its reply to "n" on one line (a device test).
std::string instrument_counter(const _program_options& options, const run_engine::wait_fn& wait);

enum class standard_run_state {
    idle,
    counting,
    finished, // counted to the preset time, or up to STOP
    failed
};

class standard_run {
public:
    using wait_fn = run_engine::wait_fn;

    standard_run(_program_options options, _options profile, std::string calibration_path, measurement_setup setup,
                 wait_fn wait, diagnostic_log* log = nullptr);
    ~standard_run();
    standard_run(const standard_run&) = delete;
    standard_run& operator=(const standard_run&) = delete;

    void set_link_wait(wait_fn wait) { link_wait_ = std::move(wait); }
    // Called before every fixed wait, so the window shows the state reached.
    void on_render(std::function<void()> fn) { on_render_ = std::move(fn); }

    // START's checks, the counter's identity, the run's opening (download, settle wait) and "G".
    void start();
    bool tick(); // true while the timer is to be armed again
    void stop(); // STOP: the count ends at the time reached and is kept

    standard_run_state state() const { return state_; }
    bool timer_on() const { return state_ == standard_run_state::counting; }
    const run_engine* engine() const { return engine_.get(); }
    // What the finished run counted, and the counter it was counted on.
    const standard_counts& counts() const { return counts_; }
    const std::string& counter() const { return counter_; }
    // Texts to show (why START was refused, a failure's reason), handed over once.
    std::vector<std::string> take_notices();

private:
    void take_engine_notices();
    void end();

    _program_options options_;
    _options profile_;
    std::string calibration_path_;
    measurement_setup setup_;
    wait_fn wait_, link_wait_;
    diagnostic_log* log_;
    std::function<void()> on_render_;
    std::unique_ptr<run_engine> engine_;
    standard_run_state state_ = standard_run_state::idle;
    standard_counts counts_;
    std::string counter_;
    std::vector<std::string> notices_;
};

} // namespace xkv
