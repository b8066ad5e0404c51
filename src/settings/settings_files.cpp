#include "settings/settings_files.h"

#include "settings/ini_file.h"

#include <charconv>

namespace xkv {

namespace {

// The profile's text keys with their fields, in the order they are written; "MODE" "mode" comes first.
struct text_key {
    const char* section;
    const char* key;
    std::string& (*field)(_options&);
};
#define XKV_FIELD(expr) [](_options& p) -> std::string& { return p.expr; }
constexpr text_key profile_text_keys[] = {
    {"VALUES", "UNIT", XKV_FIELD(UNIT)},
    {"VALUES", "C", XKV_FIELD(C)},
    {"VALUES", "D", XKV_FIELD(D)},
    {"VALUES", "E", XKV_FIELD(E)},
    {"ALARMS", "a1_c1", XKV_FIELD(alerts.a1_c1)},
    {"ALARMS", "a1_c2", XKV_FIELD(alerts.a1_c2)},
    {"ALARMS", "a1_r1", XKV_FIELD(alerts.a1_r1)},
    {"ALARMS", "a1_r2", XKV_FIELD(alerts.a1_r2)},
    {"ALARMS", "a2_c1", XKV_FIELD(alerts.a2_c1)},
    {"ALARMS", "a2_c2", XKV_FIELD(alerts.a2_c2)},
    {"ALARMS", "a2_r1", XKV_FIELD(alerts.a2_r1)},
    {"ALARMS", "a2_r2", XKV_FIELD(alerts.a2_r2)},
    {"ALARMS", "failrate1", XKV_FIELD(failrate1)},
    {"ALARMS", "failrate2", XKV_FIELD(failrate2)},
    {"BACKGROUND", "alpha", XKV_FIELD(background.alpha)},
    {"BACKGROUND", "beta", XKV_FIELD(background.beta)},
    {"BACKGROUND", "time", XKV_FIELD(background.time)},
    {"HV", "hv1", XKV_FIELD(hv1)},
    {"HV", "hv2", XKV_FIELD(hv2)},
    {"DEAD", "dead1", XKV_FIELD(dead1)},
    {"DEAD", "dead2", XKV_FIELD(dead2)},
    {"TEMPALTE", "creator", XKV_FIELD(creator)},
};
#undef XKV_FIELD

} // namespace

_options read_profile(const std::string& path) {
    const ini_file ini(path);
    _options defaults;
    _options p;
    p.mode = ini.read_integer("MODE", "mode", defaults.mode);
    for (const auto& k : profile_text_keys) k.field(p) = ini.read_string(k.section, k.key, k.field(defaults));
    return p;
}

void write_profile(const std::string& path, const _options& profile) {
    ini_file ini(path);
    _options p = profile;
    ini.write_integer("MODE", "mode", p.mode);
    for (const auto& k : profile_text_keys) ini.write_string(k.section, k.key, k.field(p));
}

_program_options read_program_options(const std::string& path) {
    const ini_file ini(path);
    const _program_options d;
    _program_options o;
    o.port = ini.read_integer("COM", "port", d.port);
    o.speed = ini.read_integer("COM", "speed", d.speed);
    o.timeout = ini.read_integer("COM", "timeout", d.timeout);
    o.revert_channels = ini.read_bool("COM", "revert_channels", d.revert_channels);
    o.database = ini.read_string("DB", "database", d.database);
    o.name = ini.read_string("TEMPALTE", "name", d.name);
    o.auto_check = ini.read_integer("UPDATE", "auto", d.auto_check);
    o.update_host = ini.read_string("UPDATE", "host", "");
    for (const auto& key : ini.keys("PORTS")) {
        std::int32_t n = 0;
        if (key.size() > 3 && (key[0] == 'C' || key[0] == 'c') && (key[1] == 'O' || key[1] == 'o') &&
            (key[2] == 'M' || key[2] == 'm') && parse_ini_integer(key.substr(3), n) && !o.port_devices.contains(n))
            o.port_devices[n] = ini.read_string("PORTS", key, "");
    }
    return o;
}

void write_program_options(const std::string& path, const _program_options& o) {
    ini_file ini(path);
    ini.write_string("DB", "database", o.database);
    ini.write_string("TEMPALTE", "name", o.name);
    ini.write_integer("COM", "timeout", o.timeout);
    ini.write_integer("COM", "port", o.port);
    ini.write_integer("UPDATE", "auto", o.auto_check);
    ini.write_integer("COM", "speed", o.speed);
    ini.write_bool("COM", "revert_channels", o.revert_channels);
}

void write_ini_integer(const std::string& path, std::string_view section, std::string_view key, std::int64_t value) {
    ini_file(path).write_integer(section, key, value);
}

std::string port_device_path(const std::map<std::int32_t, std::string>& port_devices, const std::string& port_name) {
    std::int32_t n = 0;
    if (port_name.size() <= 3 || port_name.compare(0, 3, "COM") != 0 ||
        !parse_ini_integer(std::string_view(port_name).substr(3), n))
        return port_name;
    if (auto it = port_devices.find(n); it != port_devices.end() && !it->second.empty()) return it->second;
    if (n < 1) return {}; // no default device: nothing opens, as for an absent port
    return "/dev/ttyS" + std::to_string(n - 1);
}

} // namespace xkv
