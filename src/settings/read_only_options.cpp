#include "settings/read_only_options.h"

#include "settings/errors.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv {

namespace {

struct key_reader {
    const ini_file& ini;
    const read_only_key& k;
    read_only_options& o;

    void operator()(double& (*field)(read_only_options&)) const {
        const std::string text = ini.read_string(k.section, k.key, "");
        if (text.empty()) return;
        try {
            const double v = parse_float(text);
            if (std::isfinite(v) && k.accept(v)) field(o) = v;
        } catch (const conversion_error&) {
            // not a number: the default stays
        }
    }
    void operator()(std::int32_t& (*field)(read_only_options&)) const {
        const std::int32_t v = ini.read_integer(k.section, k.key, field(o));
        if (k.accept(v)) field(o) = v;
    }
    void operator()(bool& (*field)(read_only_options&)) const {
        const std::string text = ini.read_string(k.section, k.key, "");
        if (!text.empty()) field(o) = k.on(text); // an absent key keeps the default
    }
};

} // namespace

bool integer_one(std::string_view text) {
    std::int32_t value = 0;
    return parse_ini_integer(text, value) && value == 1;
}

bool text_one(std::string_view text) { return trim_control(text) == "1"; }

read_only_options read_read_only_options(const std::string& program_options_path) {
    const ini_file ini(program_options_path);
    read_only_options o;
    for (const read_only_key& k : read_only_keys) std::visit(key_reader{ini, k, o}, k.field);
    return o;
}

} // namespace xkv
