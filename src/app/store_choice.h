#pragma once
// A server chosen as the results store from the desktop: tried once before it is taken.

#include <optional>
#include <string>

namespace xkv {

// What the operator is asked for, and the dialog's title.
inline constexpr const char* server_prompt =
    "PostgreSQL server (postgresql://USER@HOST/DATABASE; the password goes in ~/.pgpass):";
inline constexpr const char* server_title = "Select DataBase Server";

// Connects to `uri` once (creating its table when absent): nothing when that worked, the reason to
// show when not. Never throws.
std::optional<std::string> server_refusal(const std::string& uri);

// The status bar's database panel: the file path, or the server without any password.
std::string database_panel_text(const std::string& location);

} // namespace xkv
