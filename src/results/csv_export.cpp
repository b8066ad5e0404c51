#include "results/csv_export.h"

#include "results/utf8_text.h"

namespace xkv {

std::string csv_field(std::string_view text) {
    std::string field = as_utf8(text);
    const bool quoted = field.find_first_of(",\"\r\n") != std::string::npos ||
                        (!field.empty() && (field.front() == ' ' || field.back() == ' '));
    if (!quoted) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void write_csv_row(std::ostream& out, const std::vector<std::string_view>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out << ',';
        out << csv_field(cells[i]);
    }
    out << "\r\n";
}

} // namespace xkv
