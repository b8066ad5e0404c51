#include "settings/program_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

// The installed data and module folders seen from the installed bin/ directory; the build passes the
// ones its install layout uses.
#ifndef XKV_DATA_FROM_BIN
#define XKV_DATA_FROM_BIN "../share"
#endif
#ifndef XKV_MODULES_FROM_BIN
#define XKV_MODULES_FROM_BIN "../lib/xkv4410"
#endif

namespace xkv {

namespace fs = std::filesystem;

namespace {

// $XDG_DATA_HOME when absolute, else ~/.local/share; the home folder from the environment or, when
// that is unset, from the user database.
std::string user_data_home() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') return xdg;
    std::string home;
    if (const char* env = std::getenv("HOME"); env && *env) {
        home = env;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir) {
        home = pw->pw_dir;
    } else {
        home = "/nonexistent"; // nowhere to write: reads give defaults, saves fail and say so
    }
    return home + "/.local/share";
}

// Copies the files of `from` that `to` lacks; an operator's own copy is never replaced.
void seed_missing_files(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (!fs::is_directory(from, ec)) return;
    for (const auto& entry : fs::directory_iterator(from, ec)) {
        if (!entry.is_regular_file(ec)) continue;
        const fs::path target = to / entry.path().filename();
        if (!fs::exists(target, ec)) fs::copy_file(entry.path(), target, ec);
    }
}

} // namespace

std::string executable_directory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec).string();
    return exe.parent_path().string();
}

program_location locate_program_directory(const std::string& exe_dir) {
    std::error_code ec;
    if (fs::exists(fs::path(exe_dir) / portable_marker_file, ec)) return {exe_dir, false, exe_dir, exe_dir};
    const fs::path exe(exe_dir);
    return {(fs::path(user_data_home()) / "xkv4410").string(), true,
            (exe / XKV_DATA_FROM_BIN / "xkv4410").lexically_normal().string(),
            (exe / XKV_MODULES_FROM_BIN).lexically_normal().string()};
}

std::string program_directory(const std::string& exe_dir) {
    const program_location where = locate_program_directory(exe_dir);
    if (!where.installed) return where.dir;
    const fs::path dir(where.dir);
    for (const char* sub : {"ini", "templates"}) {
        std::error_code ec;
        fs::create_directories(dir / sub, ec);
        seed_missing_files(fs::path(where.shared_data) / sub, dir / sub);
    }
    return where.dir;
}

std::string resolve_program_path(const std::string& program_dir, const std::string& stored) {
    std::string path = stored;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || path.front() == '/') return path;
    return program_dir + "/" + path;
}

} // namespace xkv
