#include "app/dialog_filter.h"

#include <algorithm>

namespace xkv {

std::string dialog_name_filter(const std::string& filter) {
    if (filter.empty()) return {};
    const auto bar = filter.find('|');
    if (bar == std::string::npos) return filter + " (*)";
    const auto next = filter.find('|', bar + 1);
    std::string patterns = filter.substr(bar + 1, next == std::string::npos ? std::string::npos : next - bar - 1);
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    std::string shown = filter.substr(0, bar) + " (" + patterns + ")";
    if (next != std::string::npos) shown += ";;" + dialog_name_filter(filter.substr(next + 1));
    return shown;
}

std::string filter_extension(const std::string& name_filter) {
    const auto start = name_filter.find("*.");
    if (start == std::string::npos) return {};
    const auto end = name_filter.find_first_of(" );", start + 2);
    const std::string ext =
        name_filter.substr(start + 2, end == std::string::npos ? std::string::npos : end - start - 2);
    return ext == "*" ? std::string() : ext;
}

} // namespace xkv
