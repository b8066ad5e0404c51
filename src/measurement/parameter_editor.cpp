#include "measurement/parameter_editor.h"

#include "measurement/parameter_sets.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

void replace_non_positive(std::string& text) {
    if (parse_float(text) <= 0) text = "0.0001";
}

} // namespace

parameter_set_view show_parameter_set(const _calibration& set) {
    parameter_set_view v;
    v.alpha = set.alpha;
    v.beta = set.beta;
    v.act_alpha = set.act_alpha;
    v.act_beta = set.act_beta;
    v.caption = set.caption;
    v.name = set.name;
    v.factor_b = set.factor_b;
    v.factor_c = set.factor_c;
    v.factor_d = set.factor_d;
    v.factor_e = set.factor_e;
    v.units = set.units;
    v.preset_time = set.preset_time;
    v.radio_B_1X = set.B_X;
    v.radio_C_1X = set.C_X;
    v.radio_C_X = !set.C_X;
    v.radio_D_1X = set.D_X;
    v.radio_D_X = !set.D_X;
    v.radio_E_1X = set.E_X;
    v.radio_E_X = !set.E_X;
    v.background_correction = set.background_correction;
    v.chk_eff_A = set.chk_eff_A;
    v.chk_eff_B = set.chk_eff_B;
    return v;
}

_calibration collect_parameter_set(const parameter_set_view& v) {
    _calibration set;
    set.alpha = v.alpha;
    set.beta = v.beta;
    set.act_alpha = v.act_alpha;
    set.act_beta = v.act_beta;
    set.caption = v.caption;
    set.name = v.name;
    set.factor_b = v.factor_b;
    set.factor_c = v.factor_c;
    set.factor_d = v.factor_d;
    set.factor_e = v.factor_e;
    set.units = v.units;
    set.preset_time = v.preset_time;
    set.B_X = v.radio_B_1X;
    set.C_X = v.radio_C_1X;
    set.D_X = v.radio_D_1X;
    set.E_X = v.radio_E_1X;
    set.background_correction = v.background_correction;
    set.chk_eff_A = v.chk_eff_A;
    set.chk_eff_B = v.chk_eff_B;
    return set;
}

parameter_editor::parameter_editor(std::string calibration_path) : path_(std::move(calibration_path)) {}

void parameter_editor::form_show() {
    refill_list();
    set_edit_mode(false);
    show_selected();
}

void parameter_editor::choose(std::size_t index) {
    if (index >= names_.size()) return;
    selected_ = index;
    show_selected();
}

void parameter_editor::new_set() {
    set_edit_mode(true);
    view.name.clear();
}

void parameter_editor::edit_set() {
    set_edit_mode(true);
    name_enabled_ = false;
}

std::optional<std::string> parameter_editor::confirm() {
    bad_field_.reset();
    if (view.name.empty()) return no_name_message;
    // Every time: a number left empty or mistyped would cost a measurement its whole result.
    for (const checked_field f :
         {checked_field::alpha, checked_field::beta, checked_field::act_alpha, checked_field::act_beta})
        check_number(f);
    save_parameter_set(path_, view.name, collect_parameter_set(view));
    set_edit_mode(false);
    refill_list();
    show_selected();
    // Only the display changes; the file keeps what was saved.
    replace_non_positive(view.factor_b);
    replace_non_positive(view.alpha);
    replace_non_positive(view.beta);
    return std::nullopt;
}

void parameter_editor::leave_field(checked_field field) {
    check_number(field);
    replace_non_positive(text_of(field));
}

std::string& parameter_editor::text_of(checked_field field) {
    switch (field) {
    case checked_field::alpha: return view.alpha;
    case checked_field::beta: return view.beta;
    case checked_field::factor_b: return view.factor_b;
    case checked_field::act_alpha: return view.act_alpha;
    case checked_field::act_beta: return view.act_beta;
    }
    return view.alpha;
}

void parameter_editor::check_number(checked_field field) {
    bad_field_ = field;
    parse_float(text_of(field)); // conversion_error names the text
    bad_field_.reset();
}

void parameter_editor::set_edit_mode(bool on) {
    edit_mode_ = on;
    name_enabled_ = on;
}

void parameter_editor::refill_list() {
    names_ = parameter_set_names(path_);
    selected_ = names_.empty() ? std::nullopt : std::optional<std::size_t>(0);
}

void parameter_editor::show_selected() {
    const std::string name = selected_ ? names_[*selected_] : std::string();
    view = show_parameter_set(load_parameter_set(path_, name));
}

} // namespace xkv
