#include "support/temp_dir.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace xkv::test {

temp_dir::temp_dir() {
    std::string templ = (std::filesystem::temp_directory_path() / "xkv-test-XXXXXX").string();
    if (!::mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
    path_ = templ;
}

temp_dir::~temp_dir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary);
    out << content;
}

comma_locale::comma_locale() {
    if (const char* current = std::setlocale(LC_ALL, nullptr)) previous_ = current;
    active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
}

comma_locale::~comma_locale() { std::setlocale(LC_ALL, previous_.empty() ? "C" : previous_.c_str()); }

} // namespace xkv::test
