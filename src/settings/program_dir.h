#pragma once
// Where the program keeps its own files: ini/ and templates/ under the program directory.

#include <string>

namespace xkv {

// The file the build writes beside the executables it makes. A folder that holds it is a build tree or a
// portable copy, whose program directory is that folder; any other executable is an installed copy, which
// never writes beside itself (not even as root) and keeps its files in the per-user folder.
inline constexpr const char* portable_marker_file = "xkv4410.portable";

// The directory of the running executable, without a trailing "/".
std::string executable_directory();

// Which program directory an executable in `exe_dir` uses; looks only, creates nothing.
struct program_location {
    std::string dir;         // the program directory, without a trailing "/"
    bool installed = false;  // true: the per-user folder of an installed copy
    std::string shared_data; // an installed copy's shipped template and defaults (<prefix>/share/xkv4410)
    std::string modules;     // where the loadable modules (the CLI's chart module) lie
};
program_location locate_program_directory(const std::string& exe_dir);

// The program directory (see locate_program_directory). An installed copy's per-user folder
// ($XDG_DATA_HOME/xkv4410, default ~/.local/share/xkv4410) is created with its ini/ and templates/ on
// first use and given the shipped files it lacks from the shared data folder.
// No trailing "/": the program's fixed paths ("/ini/default.xkv") are appended to it.
std::string program_directory(const std::string& exe_dir);

// A database or template path as stored in the options: "\" read as "/", and a relative path taken
// relative to the program directory.
std::string resolve_program_path(const std::string& program_dir, const std::string& stored);

} // namespace xkv
