#include "link/t_xkv.h"

#include "settings/value_text.h"

namespace xkv {

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
            result.lines[result.count] = trim_control(text.substr(start, pos - start));
            ++result.count;
        }
        start = pos + 1;
    }
    result.lines[result.count] = std::string(text.substr(start));
    return result;
}

} // namespace xkv
