#include "measurement/measurement_setup.h"

#include "measurement/parameter_sets.h"
#include "settings/value_text.h"

namespace xkv {

measurement_setup::measurement_setup(std::string calibration_path, bool allow_series)
    : path_(std::move(calibration_path)), allow_series_(allow_series) {}

void measurement_setup::form_show() {
    set_names_ = parameter_set_names(path_);
    fields.set_name.clear();
    labels = {}; // no set chosen: nothing to show of one
    fields.sample_id = last_sample_id_;
    fields.description = last_description_;
    if (!allow_series_) fields.count = run_setup{}.count; // a series of one
    fields.quantity.clear();
    fields.preset_time.clear();
    fields.units.clear();
    start_enabled_ = false;
}

void measurement_setup::choose_set(const std::string& name) {
    fields.set_name = name;
    const _calibration set = load_parameter_set(path_, name);
    labels.alpha = "ALPHA = " + set.alpha + " / " + set.act_alpha;
    labels.beta = "BETA  = " + set.beta + " / " + set.act_beta;
    labels.caption = set.caption;
    fields.preset_time = set.preset_time;
    if (set.B_X) fields.quantity = set.factor_b;
    fields.units = set.units;
    labels.k = k_label(set_factor_k(set));
    fields_changed();
}

void measurement_setup::fields_changed() {
    start_enabled_ = !fields.set_name.empty() && !fields.sample_id.empty() && !fields.description.empty() &&
                     !fields.count.empty() && !fields.preset_time.empty() && !fields.quantity.empty() &&
                     !fields.units.empty();
}

setup_start measurement_setup::start() {
    setup_start result;
    result.messages = run_setup_refusals(fields);
    result.open_run = result.messages.empty();
    if (result.open_run) {
        last_sample_id_ = fields.sample_id;
        last_description_ = fields.description;
    }
    return result;
}

} // namespace xkv
