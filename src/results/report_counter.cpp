#include "results/report_counter.h"

#include "settings/errors.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace xkv {

namespace {

constexpr int lock_poll_ms = 20;

std::string folder_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

report_counter::report_counter(std::string counter_path) : path_(std::move(counter_path)) {
    // The folder, not the file: the file itself is replaced whole on every write.
    const std::string folder = folder_of(path_);
    folder_fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd_ < 0) throw file_failure("Cannot open the report counter's folder", folder, errno);
    for (int waited = 0; ::flock(folder_fd_, LOCK_EX | LOCK_NB) != 0; waited += lock_poll_ms) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int error = errno;
            ::close(folder_fd_);
            throw file_failure("Cannot lock the report counter", path_, error);
        }
        if (waited >= lock_wait_ms) {
            ::close(folder_fd_);
            throw file_error("Another report holds the report counter too long: \"" + path_ + "\"");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(lock_poll_ms));
    }
}

report_counter::~report_counter() { ::close(folder_fd_); } // the lock goes with the descriptor

std::int32_t report_counter::stored() const { return ini_file(path_).read_integer("TEMPLATE", "number", 1); }

std::string report_counter::next() const {
    const std::int64_t next = std::int64_t{stored()} + 1;
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, next).ptr;
    return std::string(buffer, end);
}

void report_counter::store(const std::string& number) const {
    ini_file(path_).write_integer("TEMPLATE", "number", digits_to_int(number));
}

void report_counter::restore(std::int32_t number) const { ini_file(path_).write_integer("TEMPLATE", "number", number); }

} // namespace xkv
