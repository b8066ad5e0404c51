#pragma once
// A temporary directory removed with everything in it when the test ends.

#include <string>

namespace xkv::test {

class temp_dir {
public:
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& content);

// Runs the scope under a locale whose decimal separator is a comma (de_DE.UTF-8), as QApplication
// would leave the process for a German operator; restores the previous locale at the end.
class comma_locale {
public:
    comma_locale();
    ~comma_locale();
    bool active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

} // namespace xkv::test
