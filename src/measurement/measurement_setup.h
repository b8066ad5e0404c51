#pragma once
// The rules of the measurement setup dialog without its widgets: choosing a set, the enabling rule
// of START and START's checks. The window copies its edit fields into `fields`, calls
// fields_changed(), and renders `fields`, the labels and start_enabled().

#include "measurement/run_setup.h"

#include <string>
#include <vector>

namespace xkv {

// The "Measurment Parameters" group of the dialog.
struct setup_labels {
    std::string caption; // the set's description
    std::string alpha;   // "ALPHA = " alpha " / " act_alpha
    std::string beta;    // "BETA  = " beta " / " act_beta
    std::string k;       // "K = " K
    bool operator==(const setup_labels&) const = default;
};

// What START leads to: the messages to show in order, and whether the run window opens.
struct setup_start {
    std::vector<std::string> messages;
    bool open_run = false;
};

class measurement_setup {
public:
    // `allow_series`: the count may be changed (the program option "[MEASUREMENT] allow_series").
    explicit measurement_setup(std::string calibration_path, bool allow_series = false);

    // Opening: the list refilled with nothing chosen and the set's group empty; the sample ID and
    // description of the last START offered again; preset time, quantity and units emptied; the
    // count "1" unless a series may be asked for; START off.
    void form_show();
    // A set was chosen from the list: its labels, preset time, units, its B as quantity when B is
    // used as 1/X, then K and the enabling rule. Throws when K cannot be computed; what was filled
    // before K stays and START keeps its state.
    void choose_set(const std::string& name);
    // Any edit field changed.
    void fields_changed();
    // START: quantity and preset time must be numbers greater than 0 (both messages, quantity
    // first, when both are wrong), and the count 1 to 100. Conversion errors propagate. A START
    // that opens the run keeps its sample ID and description for the next opening.
    setup_start start();

    run_setup fields;
    setup_labels labels;

    const std::vector<std::string>& set_names() const { return set_names_; }
    bool start_enabled() const { return start_enabled_; }
    bool count_enabled() const { return allow_series_; }

private:
    std::string path_;
    bool allow_series_ = false;
    std::string last_sample_id_, last_description_;
    std::vector<std::string> set_names_;
    bool start_enabled_ = false;
};

} // namespace xkv
