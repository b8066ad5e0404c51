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

    void operator()(double read_only_options::*field) const {
        const std::string text = ini.read_string(k.section, k.key, "");
        if (text.empty()) return;
        try {
            const double v = parse_float(text);
            if (std::isfinite(v) && k.accept(v)) o.*field = v;
        } catch (const conversion_error&) {
            // not a number: the default stays
        }
    }
    void operator()(std::int32_t read_only_options::*field) const {
        const std::int32_t v = ini.read_integer(k.section, k.key, o.*field);
        if (k.accept(v)) o.*field = v;
    }
    void operator()(bool read_only_options::*field) const { o.*field = ini.read_bool(k.section, k.key, o.*field); }
};

} // namespace

read_only_options read_read_only_options(const std::string& program_options_path) {
    const ini_file ini(program_options_path);
    read_only_options o;
    for (const read_only_key& k : read_only_keys) std::visit(key_reader{ini, k, o}, k.field);
    return o;
}

} // namespace xkv
