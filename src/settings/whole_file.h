#pragma once
// A file the program writes whole (settings, reports, spreadsheets). The bytes go to a sibling
// temporary file that replaces the target only once it is complete, so a failed write (a full disk)
// leaves the old file as it was and no temporary behind. A symbolic link is written through to its
// target. A file in a folder where no new file can be made is written in place when the file itself
// is writable; a file the program may not write is left alone. An existing target that is no regular
// file (a pipe, a device) is written directly.
//
// The temporary is created exclusively (never through a link) under a name of its own,
// "<target>.XXXXXX.xkv-tmp", and locked while it is written; a temporary of that name that nobody
// holds any more (its writer was killed) is removed by the next write of the same target.

#include <cstdint>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace xkv {

class whole_file {
public:
    // Opens the temporary (or the target, as above). `new_mode` is the permission of a file that
    // did not exist before, less the umask; a replaced file keeps its permissions and owner.
    whole_file(const std::string& path, mode_t new_mode);
    // Without commit(), the temporary is removed and the target stays as it was.
    ~whole_file();
    whole_file(const whole_file&) = delete;
    whole_file& operator=(const whole_file&) = delete;

    // False when nothing could be opened; error() then holds the errno.
    bool opened() const { return fd_ >= 0; }
    // Writes at `offset` can be made (everything but a pipe or a device).
    bool seekable() const { return seekable_; }
    int error() const { return error_; }

    // After the last write (sequential or at an offset); false with error() on failure.
    bool write(std::string_view bytes);
    bool write_at(std::string_view bytes, std::uint64_t offset);
    // A name through which another library can write the open file itself ("/proc/self/fd/N"): the
    // bytes reach the file created here, whatever happens to names in the folder meanwhile.
    std::string descriptor_path() const;
    // Completes the file: closes it and puts it in the target's place. False with error() on failure,
    // the target then as it was (except for a file written in place).
    bool commit();

private:
    enum class way {
        temporary,
        in_place,
        direct
    };

    void discard();

    std::string target_;
    std::string temporary_;
    way way_ = way::temporary;
    int fd_ = -1;
    bool seekable_ = false;
    int error_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;
};

// The final target of a chain of symbolic links; the path itself when it is no link.
std::string link_target(const std::string& path);

// The temporaries of `target` that a killed write left: regular files of this user named as above
// and held by no writer. Removes them; returns how many.
int remove_stale_temporaries(const std::string& target);

} // namespace xkv
