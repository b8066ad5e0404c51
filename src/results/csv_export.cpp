#include "results/csv_export.h"

#include "settings/cp1252.h"

namespace xkv {

namespace {

// Plain ASCII without a comma, quote, line break or outer blank goes as it is: most fields.
bool written_as_is(std::string_view text) {
    if (!text.empty() && (text.front() == ' ' || text.back() == ' ')) return false;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80 || c == ',' || c == '"' || c == '\r' || c == '\n') return false;
    return true;
}

} // namespace

std::string csv_field(std::string_view text) {
    if (written_as_is(text)) return std::string(text);
    std::string field = cp1252_to_utf8(text);
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
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) line += ',';
        if (written_as_is(cells[i]))
            line += cells[i];
        else
            line += csv_field(cells[i]);
    }
    line += "\r\n";
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
}

} // namespace xkv
