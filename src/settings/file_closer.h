#pragma once
// A C stdio file closed on every way out.

#include <cstdio>
#include <memory>

namespace xkv {

struct file_closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

using stdio_file = std::unique_ptr<std::FILE, file_closer>;

} // namespace xkv
