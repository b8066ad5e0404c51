#include "lab/lab_record.h"

#include "settings/value_text.h"

#include <pwd.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace xkv {

namespace {

std::string user_name() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    return std::to_string(geteuid());
}

std::string host_name() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

} // namespace

std::string utc_text(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    return text;
}

std::optional<std::int64_t> utc_seconds(const std::string& text) {
    if (text.size() != 19) return std::nullopt;
    int parts[6] = {};
    const std::size_t at[6] = {0, 5, 8, 11, 14, 17}, len[6] = {4, 2, 2, 2, 2, 2};
    const char seps[6] = {'-', '-', ' ', ':', ':', 0};
    for (int i = 0; i < 6; ++i) {
        const char* b = text.data() + at[i];
        const auto [end, ec] = std::from_chars(b, b + len[i], parts[i]);
        if (ec != std::errc{} || end != b + len[i]) return std::nullopt;
        if (seps[i] && text[at[i] + len[i]] != seps[i]) return std::nullopt;
    }
    std::tm tm{};
    tm.tm_year = parts[0] - 1900;
    tm.tm_mon = parts[1] - 1;
    tm.tm_mday = parts[2];
    tm.tm_hour = parts[3];
    tm.tm_min = parts[4];
    tm.tm_sec = parts[5];
    return static_cast<std::int64_t>(timegm(&tm));
}

record_origin origin_now(std::string counter) {
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    return {utc_text(now.count()), user_name(), host_name(), std::move(counter)};
}

std::string counter_name(t_xkv& link) {
    if (link.device_test() == t_xkv::no_answer || link.last_reply.count < 1) return {};
    return std::string(trim_control(link.last_reply.lines[0]));
}

} // namespace xkv
