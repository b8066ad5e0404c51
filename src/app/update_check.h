#pragma once
// Asks the publisher's update host for the current version text and compares it with the program's own.
// Every failure is silent: the caller learns only that there was no reply.

#include "app/program_version.h"
#include "link/diagnostic_log.h"
#include "settings/program_options.h"

#include <optional>
#include <string>
#include <string_view>

namespace xkv {

// Used when the program options name no "UPDATE"/"host".
inline constexpr const char* default_update_host = "https://www.xkv4410.example";

inline constexpr const char* startup_version_path = "/xkv-4410/ver.php";
inline constexpr const char* menu_version_path = "/xkv-4410/ver.txt";
inline constexpr const char* download_site_path = "/xkv-4410/";
inline constexpr const char* installer_path = "/xkv-4410/setup.exe";

// The options' update host (a trailing "/" dropped) or the built-in one, followed by `path`.
std::string update_url(const _program_options& options, std::string_view path);

// Bounds of one request, so a dead host never holds the program for long.
struct http_timeouts {
    long connect_ms = 3000;
    long total_ms = 10000;
};

// A plain GET over http or https (no proxy, cookies kept across redirects). The body as received,
// or nothing on a failed connection, a time-out, an error status or a body past 1 MiB.
std::optional<std::string> http_get(const std::string& url, const http_timeouts& timeouts = {});

// The update notice of the main window: its text and whether it and its two links are shown.
struct update_notice {
    bool visible = false;
    std::string text;
};

// Takes a reply into the log and the notice: a reply that differs from `own_version` (both trimmed,
// compared exactly) shows the notice "NEW VERSION AVAILABLE - <reply> !!!", an equal one hides it.
// No reply leaves both as they were.
void apply_version_reply(const std::optional<std::string>& reply, std::string_view own_version, diagnostic_log& log,
                         update_notice& notice);

// Fetches `url` and applies the reply.
void check_for_update(const std::string& url, std::string_view own_version, diagnostic_log& log, update_notice& notice,
                      const http_timeouts& timeouts = {});

// The "Check for updates" switch: `auto` becomes 1 when it was 0, else 0, and is written to
// "UPDATE"/"auto" of the options file at once. A failed write throws write_error and changes nothing.
// True when the check is now on (the caller then checks with the menu's version path).
bool toggle_auto_check(_program_options& options, const std::string& options_file);

} // namespace xkv
