#include "measurement/parameter_sets.h"

#include "measurement/float_error.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

struct text_key {
    const char* key;
    std::string _calibration::*field;
};
struct flag_key {
    const char* key;
    bool _calibration::*field;
};

// Keys in the order they are written.
constexpr text_key leading_texts[] = {
    {"alpha", &_calibration::alpha},       {"beta", &_calibration::beta},       {"act_alpha", &_calibration::act_alpha},
    {"act_beta", &_calibration::act_beta}, {"caption", &_calibration::caption}, {"name", &_calibration::name},
    {"B", &_calibration::factor_b},        {"C", &_calibration::factor_c},      {"D", &_calibration::factor_d},
    {"E", &_calibration::factor_e},
};
constexpr flag_key factor_flags[] = {
    {"B_X", &_calibration::B_X},
    {"C_X", &_calibration::C_X},
    {"D_X", &_calibration::D_X},
    {"E_X", &_calibration::E_X},
    {"bkgnd_corr", &_calibration::background_correction},
};
constexpr text_key trailing_texts[] = {
    {"units", &_calibration::units},
    {"preset_time", &_calibration::preset_time},
};
constexpr flag_key efficiency_flags[] = {
    {"chk_eff_A", &_calibration::chk_eff_A},
    {"chk_eff_B", &_calibration::chk_eff_B},
};

double factor_value(const std::string& text, bool reciprocal, const char* name) {
    const double x = parse_float(text);
    if (!reciprocal) return x;
    return checked_divide(1.0, x, std::string("factor ") + name + " used as 1/X");
}

} // namespace

_calibration load_parameter_set(const std::string& path, std::string_view section) {
    const ini_file ini(path);
    _calibration d;
    d.name = std::string(section);
    _calibration set;
    for (const auto& k : leading_texts) set.*k.field = ini.read_string(section, k.key, d.*k.field);
    for (const auto& k : factor_flags) set.*k.field = ini.read_bool(section, k.key, d.*k.field);
    for (const auto& k : trailing_texts) set.*k.field = ini.read_string(section, k.key, d.*k.field);
    for (const auto& k : efficiency_flags) set.*k.field = ini.read_bool(section, k.key, d.*k.field);
    return set;
}

void save_parameter_set(const std::string& path, std::string_view section, const _calibration& set) {
    ini_file ini(path);
    _calibration stored = set;
    stored.name = std::string(section); // "name" always repeats the section
    for (const auto& k : leading_texts) ini.write_string(section, k.key, stored.*k.field);
    for (const auto& k : factor_flags) ini.write_bool(section, k.key, set.*k.field);
    for (const auto& k : trailing_texts) ini.write_string(section, k.key, set.*k.field);
    for (const auto& k : efficiency_flags) ini.write_bool(section, k.key, set.*k.field);
}

std::vector<std::string> parameter_set_names(const std::string& path) { return ini_file(path).sections(); }

double set_factor_k(const _calibration& set) {
    const double c = factor_value(set.factor_c, set.C_X, "C");
    const double d = factor_value(set.factor_d, set.D_X, "D");
    const double e = factor_value(set.factor_e, set.E_X, "E");
    return checked_finite(c * d * e, "the set factor K");
}

std::string k_label(double k) { return "K = " + format_general(k); }

} // namespace xkv
