#pragma once
// Reading the whole of a file the operator named (a settings file, a report template) without
// ever waiting on it: a pipe or a device, whose open or read may wait for a writer for ever, is
// refused and not read.

#include <optional>
#include <string>

namespace xkv {

// The file's bytes; nullopt with errno set when it cannot be opened or read. Throws file_error
// when `path` is no regular file.
std::optional<std::string> read_regular_file(const std::string& path);

} // namespace xkv
