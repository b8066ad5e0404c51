#include "lab/crosstalk_keys.h"

#include "settings/errors.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv {

namespace {

double read_factor(const ini_file& file, std::string_view set, const char* key) {
    const std::string text = file.read_string(set, key, "");
    if (text.empty()) return 0;
    try {
        const double value = parse_float(text);
        return std::isfinite(value) ? value : 0;
    } catch (const conversion_error&) {
        return 0;
    }
}

} // namespace

crosstalk_factors read_set_crosstalk(const std::string& calibration_path, std::string_view set) {
    const ini_file file(calibration_path);
    return {read_factor(file, set, xtalk_ab_key), read_factor(file, set, u_xtalk_ab_key),
            read_factor(file, set, xtalk_ba_key), read_factor(file, set, u_xtalk_ba_key)};
}

void write_set_crosstalk(const std::string& calibration_path, std::string_view set, bool alpha_to_beta, double value,
                         double u) {
    ini_file file(calibration_path);
    file.write_string(set, alpha_to_beta ? xtalk_ab_key : xtalk_ba_key, format_general(value));
    file.write_string(set, alpha_to_beta ? u_xtalk_ab_key : u_xtalk_ba_key, format_general(u));
}

} // namespace xkv
