#pragma once
// The measurement run without its window: opening with the settings download, START, the 500 ms
// tick, STOP, ABORT, CLOSE and closing, with every label, button and progress value as state. The
// window calls an operation, shows the notices it left, renders the state, re-arms its single-shot
// timer when tick() says so and closes itself once the state is closed. Waits are the caller's.

#include "link/diagnostic_log.h"
#include "link/t_xkv.h"
#include "measurement/cur_measurment.h"
#include "measurement/r_results.h"
#include "measurement/run_setup.h"
#include "settings/program_options.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xkv {

enum class run_state {
    preparing,
    ready,
    counting,
    finished,
    failed,
    closed
};

// Which buttons are on: STOP, START, ABORT, SAVE, CLOSE, PRINT REPORT.
enum class button_set {
    none,
    ready,
    counting,
    finished,
    failed
};
struct run_buttons {
    bool stop = false, start = false, abort = false, save = false, close = false, print_report = false;
    bool operator==(const run_buttons&) const = default;
};
run_buttons buttons_of(button_set set);

struct run_labels {
    std::string sample_id;         // "Sample ID : "
    std::string description;       // "Description : "
    std::string set_caption;       // the parameter set's description
    std::string alpha_efficiency;  // "ALPHA = "
    std::string beta_efficiency;   // "BETA = "
    std::string alpha_uncertainty; // "Alpha uncertainty= "
    std::string beta_uncertainty;  // "Beta uncertainty= "
    std::string transfer_factor;   // "Transfer factor ="
    std::string k;                 // "K = "
    std::string background;        // "Background measurment" when no background correction
    std::string alpha_value;       // "Alpha counter : " during counting, "ALPHA : " at the end
    std::string beta_value;
    std::string preset_time;      // "Preset time : "
    std::string measurement_time; // "Measurment time : "
    std::string remaining_time;   // "Remaining time  : "
    std::string current_count;    // "Current count : "
    std::string total_count;      // "Total count : "
    bool operator==(const run_labels&) const = default;
};

// The gauges "Measurment progress" and "Total progress".
struct run_progress {
    std::int64_t measurement = 0;
    std::int64_t measurement_max = 100;
    std::int64_t total = 0;
    std::int64_t total_max = 100;
};

// Something to show the operator: a message box, or an error box for an error text.
struct run_notice {
    std::string text;
    bool error = false;
    bool operator==(const run_notice&) const = default;
};

// The channel values of one counter tick, for a chart or a progress print, and the final values of
// each measurement. `elapsed` is the counting time of the last time read of this measurement (the
// final time for the final values); the values are empty when not numbers.
struct channel_sample {
    std::int32_t series_number = 1;
    std::int64_t elapsed = 0;
    std::string alpha, beta;
    std::optional<double> alpha_value, beta_value;
};

inline constexpr const char* communication_error_message = "ERROR IN COMUNICATION";
inline constexpr const char* abort_question = "Abort without Save \u2013 Data will lost!!";
inline constexpr const char* close_question = "close measurment without save data !\n\rare you sure ?";
// START after a finished series that was never saved.
inline constexpr const char* start_question = "start a new measurement without saving the data ?";
inline constexpr const char* run_caption = "MEASURMENT IN PROGRESS";

inline constexpr int settings_wait_ms = 5000; // after the settings download
inline constexpr int stop_wait_ms = 3000;     // after the stop at the end of a measurement
inline constexpr int restart_wait_ms = 1000;  // after the start of the next measurement
inline constexpr int tick_interval_ms = 500;  // between two ticks of a run
// Time ticks in a row that may bring no time reply (an instrument switched off) before the run fails.
inline constexpr int missing_time_replies_limit = 3;
// Time ticks in a row whose elapsed time may stay where it was before the run fails: time ticks are
// at least a second apart, and the instrument's whole seconds move every second while it counts.
inline constexpr int stalled_time_ticks_limit = 8;

class run_engine {
public:
    using wait_fn = std::function<void(int ms)>;
    using confirm_fn = std::function<bool(const std::string& question)>;
    using channels_fn = std::function<void(const channel_sample&)>;
    using render_fn = std::function<void()>;

    run_engine(_program_options options, _options profile, run_setup setup, std::string calibration_path, wait_fn wait,
               diagnostic_log* log = nullptr);
    ~run_engine();
    run_engine(const run_engine&) = delete;
    run_engine& operator=(const run_engine&) = delete;

    // Opening: link, setup, settings download, labels, K, the 5000 ms wait, then ready. A setup or
    // set that cannot be used leaves a notice, releases the link and closes the run.
    void open();
    void start(); // START
    // START would clear rows of a finished series that were never saved: the window asks first.
    bool start_discards_rows() const { return state_ == run_state::finished && row_count() > 0; }
    bool tick();                               // the timer tick; true when the timer is to be armed again
    void stop();                               // STOP
    void abort(const confirm_fn& confirm);     // ABORT after confirmation
    void close_run(const confirm_fn& confirm); // CLOSE after confirmation
    void close();                              // the window closes, whatever the cause: timer off, link released

    // Notices in the order they arose, handed over once.
    std::vector<run_notice> take_notices();
    // Called after every counter tick that read without error.
    void on_channels(channels_fn fn) { on_channels_ = std::move(fn); }
    // Asked by the link while it reads and when a measurement ends: once true (the operator
    // interrupts), reads end quickly and no further measurement of the series starts.
    void on_interrupt(std::function<bool()> fn) { interrupted_ = std::move(fn); }
    // The link's own pauses (handshake, replies); by default the link sleeps.
    void set_link_wait(wait_fn wait) { link_wait_ = std::move(wait); }
    // Called before every fixed wait, so the window shows the state reached for the whole wait.
    void on_render(render_fn fn) { on_render_ = std::move(fn); }
    // A lab measurement that needs no set of the file (a plateau step) brings its own.
    void use_parameter_set(_calibration set) { own_set_ = std::move(set); }

    run_state state() const { return state_; }
    button_set buttons() const { return buttons_; }
    const run_labels& labels() const { return labels_; }
    const std::string& caption() const { return caption_; }
    const run_progress& progress() const { return progress_; }
    const std::string& last_elapsed() const { return last_elapsed_; }
    int tick_phase() const { return tick_phase_; }
    bool timer_on() const { return timer_on_; }
    bool online() const { return link_ && link_->online; }
    // Time replies are missing (nothing answers): the buttons show nothing to press until the run fails.
    bool waiting_for_replies() const { return missing_time_replies_ > 0; }
    const cur_measurment& measurement() const { return setup_; }
    const run_table& table() const { return table_; }
    std::size_t row_count() const;

private:
    struct channel_values {
        std::string alpha, beta;
    };

    void open_steps();
    channel_values read_channels();
    std::string read_time();
    // The elapsed time of a time reply; a reply that is no whole number of seconds, that goes back,
    // or that passes the preset time fails the run and gives nothing.
    std::optional<std::int64_t> checked_elapsed(const std::string& elapsed);
    // A time tick: false when the run failed or goes on without a time to compare.
    bool time_tick(std::int64_t& E);
    void show_time(const std::string& elapsed, std::int64_t E, bool rewrite_preset, const char* current_prefix,
                   const char* total_prefix);
    // Stops the instrument, keeps the table, and leaves START off; `text` is shown.
    void fail(const std::string& text, bool error);
    // Sample ID, description, the set's caption, "ALPHA = ", "BETA = " and the window caption.
    void show_sample_labels();
    // The end of a measurement: values, time, stop, the wait and the row; false when the run failed.
    bool end_measurement(const char* beta_prefix, const char* current_prefix, const char* total_prefix);
    // Fills the first free slot and fails the run when that fails: values that are no numbers
    // leave the slot free; a computation that fails keeps the measured row with empty results.
    bool finish_measurement(const channel_values& values, const std::string& elapsed);
    void fill_measured(_r_results& row, const channel_values& values, const std::string& elapsed);
    std::string measured_value(const std::string& value) const;
    void keep_without_results(_r_results& row) const;
    static std::string failure_text(const std::exception& e, const channel_values& values);
    // Hands a reading to the chart: every counter tick and the final values of each measurement.
    void plot(const channel_values& v, std::int64_t elapsed);
    void clear_table();
    void set_buttons(button_set set) { buttons_ = set; }
    // A fixed wait: nothing can be pressed during it, and the window renders first.
    void pause(int ms);
    void tick_steps();

    _program_options options_;
    _options profile_;
    run_setup run_setup_;
    std::string calibration_path_;
    wait_fn wait_;
    diagnostic_log* log_;
    channels_fn on_channels_;
    std::function<bool()> interrupted_;
    render_fn on_render_;
    wait_fn link_wait_;
    std::optional<_calibration> own_set_;

    std::unique_ptr<t_xkv> link_;
    cur_measurment setup_;
    run_table table_;
    run_state state_ = run_state::preparing;
    button_set buttons_ = button_set::none;
    run_labels labels_;
    std::string caption_ = "measurment";
    run_progress progress_;
    std::string last_elapsed_;
    std::int64_t last_elapsed_seconds_ = 0;
    bool time_replied_ = false; // the last time read brought one complete line
    int missing_time_replies_ = 0;
    int stalled_time_ticks_ = 0;
    int tick_phase_ = 1;
    bool timer_on_ = false;
    std::vector<run_notice> notices_;
};

} // namespace xkv
