#pragma once
// Profiles and program options in their INI files, key by key in fixed orders.

#include "settings/options.h"
#include "settings/program_options.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace xkv {

inline constexpr const char* default_profile_file = "/ini/default.xkv";
inline constexpr const char* program_options_file = "/ini/program_opt.xkv";

// Never fails: a missing or unreadable file gives the defaults.
_options read_profile(const std::string& path);
_program_options read_program_options(const std::string& path);

// Throw write_error "Unable to write to <path>" at the first key that cannot be written;
// the keys before it stay written.
void write_profile(const std::string& path, const _options& profile);
void write_program_options(const std::string& path, const _program_options& options);

// One integer key written at once (port, speed and update-check menu commands).
void write_ini_integer(const std::string& path, std::string_view section, std::string_view key, std::int64_t value);

} // namespace xkv
