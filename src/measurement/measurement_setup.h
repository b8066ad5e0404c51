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
    explicit measurement_setup(std::string calibration_path);

    // Opening: the list refilled with nothing chosen, every field but the count emptied, START off.
    void form_show();
    // A set was chosen from the list: its labels, preset time, units, its B as quantity when B is
    // used as 1/X, then K and the enabling rule. Throws when K cannot be computed; what was filled
    // before K stays and START keeps its state.
    void choose_set(const std::string& name);
    // Any edit field changed.
    void fields_changed();
    // START: quantity and preset time must be numbers greater than 0 (both messages, quantity
    // first, when both are wrong), and the count at most 100. Conversion errors propagate.
    setup_start start() const;

    run_setup fields;
    setup_labels labels;

    const std::vector<std::string>& set_names() const { return set_names_; }
    bool start_enabled() const { return start_enabled_; }

private:
    std::string path_;
    std::vector<std::string> set_names_;
    bool start_enabled_ = false;
};

} // namespace xkv
