#pragma once
// Where the program keeps its own files: ini/ and templates/ under the program directory.

#include <string>

namespace xkv {

// The directory of the running executable, without a trailing "/".
std::string executable_directory();

// The program directory: `exe_dir` when it is writable; otherwise the per-user data directory
// ($XDG_DATA_HOME/xkv4410, default ~/.local/share/xkv4410), created with its ini/ and templates/ on
// first use and given the default template from <exe_dir>/../share/xkv4410/templates.
// No trailing "/": the program's fixed paths ("/ini/default.xkv") are appended to it.
std::string program_directory(const std::string& exe_dir);

// A database or template path as stored in the options: "\" read as "/", and a relative path taken
// relative to the program directory.
std::string resolve_program_path(const std::string& program_dir, const std::string& stored);

} // namespace xkv
