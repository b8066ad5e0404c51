#include "settings/settings_files.h"

#include "settings/ini_file.h"

#include <charconv>

namespace xkv {

namespace {

// The alarm keys with their fields, in the order they are written.
struct alert_key {
    const char* key;
    std::string _o_alerts::*field;
};
constexpr alert_key alert_keys[] = {
    {"a1_c1", &_o_alerts::a1_c1}, {"a1_c2", &_o_alerts::a1_c2}, {"a1_r1", &_o_alerts::a1_r1},
    {"a1_r2", &_o_alerts::a1_r2}, {"a2_c1", &_o_alerts::a2_c1}, {"a2_c2", &_o_alerts::a2_c2},
    {"a2_r1", &_o_alerts::a2_r1}, {"a2_r2", &_o_alerts::a2_r2},
};

} // namespace

_options read_profile(const std::string& path) {
    const ini_file ini(path);
    const _options d;
    _options p;
    p.mode = ini.read_integer("MODE", "mode", d.mode);
    p.UNIT = ini.read_string("VALUES", "UNIT", d.UNIT);
    p.C = ini.read_string("VALUES", "C", d.C);
    p.D = ini.read_string("VALUES", "D", d.D);
    p.E = ini.read_string("VALUES", "E", d.E);
    for (const auto& a : alert_keys) p.alerts.*a.field = ini.read_string("ALARMS", a.key, d.alerts.*a.field);
    p.failrate1 = ini.read_string("ALARMS", "failrate1", d.failrate1);
    p.failrate2 = ini.read_string("ALARMS", "failrate2", d.failrate2);
    p.background.alpha = ini.read_string("BACKGROUND", "alpha", d.background.alpha);
    p.background.beta = ini.read_string("BACKGROUND", "beta", d.background.beta);
    p.background.time = ini.read_string("BACKGROUND", "time", d.background.time);
    p.hv1 = ini.read_string("HV", "hv1", d.hv1);
    p.hv2 = ini.read_string("HV", "hv2", d.hv2);
    p.dead1 = ini.read_string("DEAD", "dead1", d.dead1);
    p.dead2 = ini.read_string("DEAD", "dead2", d.dead2);
    p.creator = ini.read_string("TEMPALTE", "creator", d.creator);
    return p;
}

void write_profile(const std::string& path, const _options& p) {
    ini_file ini(path);
    ini.write_integer("MODE", "mode", p.mode);
    ini.write_string("VALUES", "UNIT", p.UNIT);
    ini.write_string("VALUES", "C", p.C);
    ini.write_string("VALUES", "D", p.D);
    ini.write_string("VALUES", "E", p.E);
    for (const auto& a : alert_keys) ini.write_string("ALARMS", a.key, p.alerts.*a.field);
    ini.write_string("ALARMS", "failrate1", p.failrate1);
    ini.write_string("ALARMS", "failrate2", p.failrate2);
    ini.write_string("BACKGROUND", "alpha", p.background.alpha);
    ini.write_string("BACKGROUND", "beta", p.background.beta);
    ini.write_string("BACKGROUND", "time", p.background.time);
    ini.write_string("HV", "hv1", p.hv1);
    ini.write_string("HV", "hv2", p.hv2);
    ini.write_string("DEAD", "dead1", p.dead1);
    ini.write_string("DEAD", "dead2", p.dead2);
    ini.write_string("TEMPALTE", "creator", p.creator);
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
            (key[2] == 'M' || key[2] == 'm') && parse_ini_integer(key.substr(3), n) &&
            !o.port_devices.contains(n))
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
    return "/dev/ttyS" + std::to_string(n - 1);
}

} // namespace xkv
