#include "link/t_xkv.h"

namespace xkv {

namespace {

bool is_blank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string trimmed(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && is_blank(text[first])) ++first;
    while (last > first && is_blank(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

} // namespace

t_My_line_res split_lines(std::string_view text) {
    constexpr int complete_capacity = t_My_line_res::capacity - 1;
    t_My_line_res result;
    std::size_t start = 0;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        // A CR is stepped over only on the way to an LF; a lone CR stays in the line.
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        if (text[pos] != '\n') continue;
        // Lines past the capacity are dropped; the remainder slot still gets the text after the last LF.
        if (result.count < complete_capacity) {
            result.lines[result.count] = trimmed(text.substr(start, pos - start));
            ++result.count;
        }
        start = pos + 1;
    }
    result.lines[result.count] = std::string(text.substr(start));
    return result;
}

} // namespace xkv
