#pragma once
// Letter case of the ASCII letters only: option names, set names, table names and file extensions
// compare without regard to it, whatever the C locale says of any other byte.

#include <string>
#include <string_view>

namespace xkv {

constexpr char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string ascii_lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = ascii_lower(c);
    return lower;
}

// Equal but for the case of ASCII letters.
constexpr bool equal_ignoring_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
    return true;
}

} // namespace xkv
