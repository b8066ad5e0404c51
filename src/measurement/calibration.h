#pragma once
// A measurement parameter set: efficiencies with their uncertainties, the factors B to E, units,
// preset time and background correction. Numbers stay as typed.

#include <string>

namespace xkv {

struct _calibration {
    std::string alpha = "1";     // alpha efficiency
    std::string beta = "1";      // beta efficiency
    std::string act_alpha = "1"; // uncertainty of the alpha efficiency
    std::string act_beta = "1";  // uncertainty of the beta efficiency
    std::string caption;         // description of the set
    std::string name;            // name of the set (its section)
    std::string factor_b;        // transfer factor B
    std::string factor_c;        // wipe-surface factor C
    std::string factor_d;        // user factor D
    std::string factor_e;        // user factor E
    bool B_X = true;             // each _X flag: the factor is used as 1/X
    bool C_X = true;
    bool D_X = true;
    bool E_X = true;
    std::string units;
    std::string preset_time = "100";
    bool background_correction = false;
    bool chk_eff_A = false;
    bool chk_eff_B = false;
    bool operator==(const _calibration&) const = default;
};

} // namespace xkv
