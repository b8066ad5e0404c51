#include "cli/tsv.h"

namespace xkv::cli {

std::string tsv_escape(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    append_tsv_escaped(out, cell);
    return out;
}

void append_tsv_escaped(std::string& out, std::string_view cell) {
    // Most cells need no escape: copy them whole.
    if (cell.find_first_of("\\\t\r\n") == std::string_view::npos) {
        out += cell;
        return;
    }
    for (char c : cell) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
}

void write_tsv_row(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out << '\t';
        out << tsv_escape(cells[i]);
    }
    out << '\n';
}

} // namespace xkv::cli
