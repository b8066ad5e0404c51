#include "link/t_xkv.h"
#include "settings/instrument_modes.h"

namespace xkv {

namespace {

std::string with_argument(std::string_view command, std::string_view value) {
    std::string text(command);
    text += ' ';
    text += value;
    return text;
}

// The wire text of each selector of the counter and ratemeter reads; empty for an unknown one.
std::string_view selector_command(std::string_view base, int selector) {
    static constexpr std::string_view counters[] = {"R", "R1", "R2"};
    static constexpr std::string_view ratemeters[] = {"P", "P1", "P2"};
    if (selector < 0 || selector > 2) return {};
    return base == "R" ? counters[selector] : ratemeters[selector];
}

} // namespace

std::string t_xkv::device_test() {
    send_command("n");
    if (!read_reply_lines()) return std::string(no_answer);
    std::string result;
    for (int slot = 0; slot < 5; ++slot) {
        result += last_reply.lines[slot];
        result += ' ';
    }
    return result;
}

void t_xkv::read_counters(int selector, t_My_line_res& reply) {
    const std::string_view command = selector_command("R", selector);
    if (command.empty()) return;
    send_command(command);
    if (!online) return;
    read_line_reply(line_kind::counter, lines_of_read(mode_code, mode_reads::counters));
    reply = last_reply;
}

void t_xkv::read_ratemeters(int selector, t_My_line_res& reply) {
    const std::string_view command = selector_command("P", selector);
    if (!online || command.empty()) return;
    send_command(command);
    read_line_reply(line_kind::ratemeter, lines_of_read(mode_code, mode_reads::ratemeters));
    reply = last_reply;
}

void t_xkv::read_time(std::string& elapsed) {
    if (!online) return;
    send_command("L");
    read_line_reply(line_kind::time, 1);
    elapsed = last_reply.count == 1 ? last_reply.lines[0] : "0";
}

void t_xkv::set_hv1(std::string_view value) {
    if (online) send_command(with_argument("j1", value));
}

void t_xkv::set_hv2(std::string_view value) {
    if (online) send_command(with_argument("j2", value));
}

void t_xkv::set_preset_time(std::string_view value) { send_command(with_argument("T", value)); }

void t_xkv::set_alarms(const _o_alerts& alerts) {
    if (!online) return;
    send_command(with_argument("I2", alerts.a1_c1));
    send_command(with_argument("I1", alerts.a2_c1));
    send_command(with_argument("I3", alerts.a2_c2));
    send_command(with_argument("I4", alerts.a1_c2));
    send_command(with_argument("A0", alerts.a1_r1));
    send_command(with_argument("A1", alerts.a2_r1));
    send_command(with_argument("A2", alerts.a1_r2));
    send_command(with_argument("A3", alerts.a2_r2));
}

void t_xkv::set_factors(std::string_view k0, std::string_view k1, std::string_view k2, std::string_view k3,
                        std::string_view k4) {
    if (!online) return;
    send_command(with_argument("K0", k0));
    send_command(with_argument("K1", k1));
    send_command(with_argument("K2", k2));
    send_command(with_argument("K3", k3));
    send_command(with_argument("K4", k4));
}

void t_xkv::set_fail_rates(std::string_view f1, std::string_view f2) {
    if (!online) return;
    send_command(with_argument("F1", f1));
    send_command(with_argument("F2", f2));
}

void t_xkv::set_mode(std::int32_t code) {
    if (!online) return;
    mode_code = code;
    if (const instrument_mode* mode = find_mode(code)) send_command(mode->command);
}

void t_xkv::start_count() {
    if (online) send_command("G");
}

void t_xkv::stop_count() {
    if (online) send_command("S");
}

void download_settings(t_xkv& link, const _options& profile, std::string_view preset_time_text) {
    link.set_alarms(profile.alerts);
    link.set_fail_rates(profile.failrate1, profile.failrate2);
    link.set_hv1(profile.hv1);
    link.set_hv2(profile.hv2);
    link.set_factors("1", "1", profile.C, profile.D, profile.E);
    link.set_mode(profile.mode);
    link.set_preset_time(preset_time_text);
    link.send_command(with_argument("U", profile.UNIT));
}

} // namespace xkv
