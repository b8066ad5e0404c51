#include "settings/whole_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xkv {

namespace {

constexpr int max_link_depth = 40;
constexpr std::string_view temporary_suffix = ".xkv-tmp";
constexpr std::size_t random_letters = 6; // what mkostemps puts in place of XXXXXX

bool random_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// "<name>.XXXXXX.xkv-tmp" for the target's file name `name`.
bool temporary_of(std::string_view entry, std::string_view name) {
    const std::size_t size = name.size() + 1 + random_letters + temporary_suffix.size();
    if (entry.size() != size || entry.substr(0, name.size()) != name || entry[name.size()] != '.') return false;
    if (entry.substr(size - temporary_suffix.size()) != temporary_suffix) return false;
    for (char c : entry.substr(name.size() + 1, random_letters))
        if (!random_letter(c)) return false;
    return true;
}

// Unlinks the file if it is a regular file of ours that no live writer holds locked.
bool remove_if_stale(int folder, const char* entry) {
    const int fd = ::openat(folder, entry, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool ours = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
    // The writer holds its lock until it renames or removes the file; the kernel drops it with the writer.
    const bool abandoned = ours && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    const bool removed = abandoned && ::unlinkat(folder, entry, 0) == 0;
    ::close(fd);
    return removed;
}

mode_t current_umask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

std::string link_target(const std::string& path) {
    std::string at = path;
    for (int depth = 0; depth < max_link_depth; ++depth) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(at.c_str(), buffer, sizeof buffer);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return at;
        std::string next(buffer, static_cast<std::size_t>(n));
        if (next.front() != '/') {
            const auto slash = at.rfind('/');
            next = (slash == std::string::npos ? std::string() : at.substr(0, slash + 1)) + next;
        }
        at = std::move(next);
    }
    return at;
}

whole_file::whole_file(const std::string& path, mode_t new_mode) : target_(link_target(path)) {
    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        way_ = way::direct;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (fd_ < 0) error_ = errno;
        return;
    }
    // A file the program may not write is not replaced either.
    if (exists && ::access(target_.c_str(), W_OK) != 0) {
        error_ = errno;
        return;
    }
    seekable_ = true;
    remove_stale_temporaries(target_);
    temporary_ = target_ + ".XXXXXX" + std::string(temporary_suffix);
    // O_CREAT | O_EXCL: a name that exists, a planted link included, is never opened.
    fd_ = ::mkostemps(temporary_.data(), static_cast<int>(temporary_suffix.size()), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        temporary_.clear();
        // No new file can be made beside it: a writable file is still updated, in place.
        if (!exists) return;
        way_ = way::in_place;
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
        error_ = fd_ < 0 ? errno : 0;
        return;
    }
    (void)::flock(fd_, LOCK_EX | LOCK_NB); // marks the temporary as being written
    if (exists) {
        (void)!::fchown(fd_, st.st_uid, st.st_gid); // kept where allowed
        new_mode = st.st_mode & 07777;
    } else {
        new_mode &= ~current_umask();
    }
    if (::fchmod(fd_, new_mode) != 0) {
        error_ = errno;
        discard();
    }
}

int remove_stale_temporaries(const std::string& target) {
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir))
        if (temporary_of(entry->d_name, name) && remove_if_stale(::dirfd(dir), entry->d_name)) ++removed;
    ::closedir(dir);
    return removed;
}

whole_file::~whole_file() { discard(); }

std::string whole_file::descriptor_path() const {
    return fd_ < 0 ? std::string() : "/proc/self/fd/" + std::to_string(fd_);
}

void whole_file::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool whole_file::write(std::string_view bytes) { return write_at(bytes, position_); }

bool whole_file::write_at(std::string_view bytes, std::uint64_t offset) {
    if (fd_ < 0) return false;
    while (!bytes.empty()) {
        const ssize_t n = seekable_ ? ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset))
                                    : ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            discard();
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += static_cast<std::uint64_t>(n);
    }
    position_ = offset;
    if (offset > end_) end_ = offset;
    return true;
}

bool whole_file::commit() {
    if (fd_ < 0) return false;
    bool ok = way_ != way::in_place || ::ftruncate(fd_, static_cast<off_t>(end_)) == 0;
    if (!ok) error_ = errno;
    const int fd = fd_;
    fd_ = -1;
    // A second descriptor keeps the temporary locked up to its rename, so no other write of the
    // target takes it for a killed one in between.
    const int lock = way_ == way::temporary ? ::dup(fd) : -1;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error_ = errno;
    }
    if (ok && way_ == way::temporary && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        ok = false;
        error_ = errno;
    }
    if (lock >= 0) ::close(lock);
    if (ok) temporary_.clear();
    discard();
    return ok;
}

} // namespace xkv
