#include "lab/qc_options.h"

#include "settings/ini_file.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv {

namespace {

double positive(const ini_file& ini, const char* key, double fallback) {
    const std::string text = ini.read_string("QC", key, "");
    if (text.empty()) return fallback;
    try {
        const double x = parse_float(text);
        return std::isfinite(x) && x > 0 ? x : fallback;
    } catch (const std::exception&) {
        return fallback;
    }
}

} // namespace

qc_options read_qc_options(const std::string& program_options_path) {
    const ini_file ini(program_options_path);
    qc_options o;
    o.tolerance_percent = positive(ini, "tolerance_percent", o.tolerance_percent);
    o.max_age_hours = positive(ini, "max_age_hours", o.max_age_hours);
    o.block = trim_control(ini.read_string("QC", "block", "0")) == "1";
    return o;
}

} // namespace xkv
