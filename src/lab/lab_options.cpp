#include "lab/lab_options.h"

#include "lab/lab_result.h"
#include "settings/errors.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"

namespace xkv {

double read_limits_gamma(const std::string& program_options_path) {
    const std::string text = ini_file(program_options_path).read_string("LIMITS", "gamma", "");
    if (text.empty()) return default_limits_gamma;
    try {
        const double gamma = parse_float(text);
        return gamma > 0 && gamma < 1 ? gamma : default_limits_gamma;
    } catch (const conversion_error&) {
        return default_limits_gamma;
    }
}

} // namespace xkv
