#pragma once
// The rules of the parameter set editor without its widgets: what its fields show, browse and edit
// mode, NEW, EDIT, OK and the checks on leaving the alpha, beta and B fields. The window copies its
// widgets into `view` before each action and renders `view` and the enabling state after it.

#include "measurement/calibration.h"

#include <optional>
#include <string>
#include <vector>

namespace xkv {

// The editor's edit fields and choices. For C, D and E exactly one of "X" and "1/X" is on; B has only
// "1/X", which the operator cannot turn off.
struct parameter_set_view {
    std::string alpha, beta, act_alpha, act_beta, caption, name;
    std::string factor_b, factor_c, factor_d, factor_e, units, preset_time;
    bool radio_B_1X = true;
    bool radio_C_X = false, radio_C_1X = true;
    bool radio_D_X = false, radio_D_1X = true;
    bool radio_E_X = false, radio_E_1X = true;
    bool background_correction = false; // "Perform bkgnd correction"
    bool chk_eff_A = false, chk_eff_B = false;
    bool operator==(const parameter_set_view&) const = default;
};

parameter_set_view show_parameter_set(const _calibration& set);
// Only the "1/X" choices are read back for the flags.
_calibration collect_parameter_set(const parameter_set_view& view);

// The fields checked when the operator leaves them (alpha, beta, B), and the efficiency
// uncertainties, which OK checks with the efficiencies.
enum class checked_field {
    alpha,
    beta,
    factor_b,
    act_alpha,
    act_beta
};

inline constexpr const char* no_name_message = "No name entered !!!";

class parameter_editor {
public:
    explicit parameter_editor(std::string calibration_path);

    void form_show();               // list from the file, first entry, browse mode
    void choose(std::size_t index); // an entry of the list was chosen
    void new_set();                 // "NEW": edit mode, empty name, other fields kept
    void edit_set();                // "EDIT": edit mode, name fixed
    // "OK": the message to show when no name was entered; otherwise checks that the efficiencies
    // and their uncertainties are numbers (a measurement computes with them), saves, then back to
    // browse mode showing the first set of the file. Conversion and write errors propagate; after a
    // failed check or write the editor stays in edit mode, and bad_field() names a field that failed.
    std::optional<std::string> confirm();
    // Leaving the field: a number not greater than 0 becomes "0.0001"; text that is not a number
    // throws conversion_error and stays.
    void leave_field(checked_field field);
    // The field whose text the last OK or leaving found not to be a number.
    std::optional<checked_field> bad_field() const { return bad_field_; }

    parameter_set_view view;

    const std::vector<std::string>& names() const { return names_; }
    std::optional<std::size_t> selected() const { return selected_; }
    bool edit_mode() const { return edit_mode_; }
    bool fields_enabled() const { return edit_mode_; } // every edit field, choice and the check box
    bool name_enabled() const { return edit_mode_ && name_enabled_; }
    bool ok_enabled() const { return edit_mode_; }
    bool new_enabled() const { return !edit_mode_; }
    bool edit_enabled() const { return !edit_mode_; }
    bool list_visible() const { return !edit_mode_; }

private:
    void set_edit_mode(bool on);
    void refill_list();
    void show_selected();
    std::string& text_of(checked_field field);
    void check_number(checked_field field);

    std::string path_;
    std::vector<std::string> names_;
    std::optional<std::size_t> selected_;
    bool edit_mode_ = false;
    bool name_enabled_ = false;
    std::optional<checked_field> bad_field_;
};

} // namespace xkv
