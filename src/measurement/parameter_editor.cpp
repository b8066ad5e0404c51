#include "measurement/parameter_editor.h"

#include "measurement/parameter_sets.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

void replace_non_positive(std::string& text) {
    if (parse_float(text) <= 0) text = "0.0001";
}

// The set's texts, each with the field that shows it.
struct set_text {
    std::string _calibration::*stored;
    std::string parameter_set_view::*shown;
};
constexpr set_text set_texts[] = {
    {&_calibration::alpha, &parameter_set_view::alpha},
    {&_calibration::beta, &parameter_set_view::beta},
    {&_calibration::act_alpha, &parameter_set_view::act_alpha},
    {&_calibration::act_beta, &parameter_set_view::act_beta},
    {&_calibration::caption, &parameter_set_view::caption},
    {&_calibration::name, &parameter_set_view::name},
    {&_calibration::factor_b, &parameter_set_view::factor_b},
    {&_calibration::factor_c, &parameter_set_view::factor_c},
    {&_calibration::factor_d, &parameter_set_view::factor_d},
    {&_calibration::factor_e, &parameter_set_view::factor_e},
    {&_calibration::units, &parameter_set_view::units},
    {&_calibration::preset_time, &parameter_set_view::preset_time},
};

// The set's flags, each with the choice that is on while the flag is ("1/X" of a factor, or the check
// box) and, for a factor that has an "X", the choice that is on while it is not. Only `on` is read back.
struct set_flag {
    bool _calibration::*stored;
    bool parameter_set_view::*on;
    bool parameter_set_view::*off = nullptr;
};
constexpr set_flag set_flags[] = {
    {&_calibration::B_X, &parameter_set_view::radio_B_1X},
    {&_calibration::C_X, &parameter_set_view::radio_C_1X, &parameter_set_view::radio_C_X},
    {&_calibration::D_X, &parameter_set_view::radio_D_1X, &parameter_set_view::radio_D_X},
    {&_calibration::E_X, &parameter_set_view::radio_E_1X, &parameter_set_view::radio_E_X},
    {&_calibration::background_correction, &parameter_set_view::background_correction},
    {&_calibration::chk_eff_A, &parameter_set_view::chk_eff_A},
    {&_calibration::chk_eff_B, &parameter_set_view::chk_eff_B},
};

} // namespace

parameter_set_view show_parameter_set(const _calibration& set) {
    parameter_set_view v;
    for (const auto& t : set_texts) v.*t.shown = set.*t.stored;
    for (const auto& f : set_flags) {
        v.*f.on = set.*f.stored;
        if (f.off) v.*f.off = !(set.*f.stored);
    }
    return v;
}

_calibration collect_parameter_set(const parameter_set_view& v) {
    _calibration set;
    for (const auto& t : set_texts) set.*t.stored = v.*t.shown;
    for (const auto& f : set_flags) set.*f.stored = v.*f.on;
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
