#include "results/store_writable.h"

#include "results/results_store.h"

#include <cerrno>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

namespace xkv {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string system_text(int error) { return std::generic_category().message(error); }

} // namespace

std::string store_write_problem(const std::string& location) {
    if (location.empty() || is_server_location(location)) return {};
    const auto slash = location.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : location.substr(0, slash);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        if (errno == ENOENT) return "the folder " + quoted(folder) + " does not exist";
        return "the folder " + quoted(folder) + " cannot be used: " + system_text(errno);
    }
    if (!S_ISDIR(st.st_mode)) return quoted(folder) + " is no folder";
    if (::stat(location.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return quoted(location) + " is no regular file";
        if (::access(location.c_str(), R_OK | W_OK) != 0) return "the file is read-only: " + system_text(errno);
    } else if (errno != ENOENT) {
        return "the file cannot be used: " + system_text(errno);
    }
    // The journal of every write, and a new file, are made in the folder.
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "the folder " + quoted(folder) + " takes no new file: " + system_text(errno);
    return {};
}

std::string store_not_writable_message(const std::string& problem, const std::string& location) {
    return problem + ": results cannot be saved to " + quoted(location) + ", so nothing was started";
}

} // namespace xkv
