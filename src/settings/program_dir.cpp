#include "settings/program_dir.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

// The installed data directory seen from the installed bin/ directory ("../share" for the usual
// layout); the build passes the one its install layout uses.
#ifndef XKV_DATA_FROM_BIN
#define XKV_DATA_FROM_BIN "../share"
#endif

namespace xkv {

namespace fs = std::filesystem;

std::string executable_directory() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec).string();
    return exe.parent_path().string();
}

std::string program_directory(const std::string& exe_dir) {
    if (::access(exe_dir.c_str(), W_OK) == 0) return exe_dir;

    std::string base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        return exe_dir;
    }
    const fs::path dir = fs::path(base) / "xkv4410";
    std::error_code ec;
    fs::create_directories(dir / "ini", ec);
    fs::create_directories(dir / "templates", ec);
    const fs::path shipped = fs::path(exe_dir) / XKV_DATA_FROM_BIN / "xkv4410" / "templates";
    if (fs::is_directory(shipped, ec)) {
        for (const auto& entry : fs::directory_iterator(shipped, ec)) {
            const fs::path target = dir / "templates" / entry.path().filename();
            if (!fs::exists(target, ec)) fs::copy_file(entry.path(), target, ec);
        }
    }
    return dir.string();
}

std::string resolve_program_path(const std::string& program_dir, const std::string& stored) {
    std::string path = stored;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || path.front() == '/') return path;
    return program_dir + "/" + path;
}

} // namespace xkv
