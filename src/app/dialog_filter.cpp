#include "app/dialog_filter.h"

#include <algorithm>

namespace xkv {

std::string dialog_name_filter(const std::string& filter) {
    if (filter.empty()) return {};
    const auto bar = filter.find('|');
    if (bar == std::string::npos) return filter + " (*)";
    std::string patterns = filter.substr(bar + 1);
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    return filter.substr(0, bar) + " (" + patterns + ")";
}

} // namespace xkv
