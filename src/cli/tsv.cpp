#include "cli/tsv.h"

namespace xkv::cli {

std::string tsv_escape(std::string_view cell) {
    std::string out;
    out.reserve(cell.size());
    for (char c : cell) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        default: out += c;
        }
    }
    return out;
}

void write_tsv_row(std::ostream& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out << '\t';
        out << tsv_escape(cells[i]);
    }
    out << '\n';
}

} // namespace xkv::cli
