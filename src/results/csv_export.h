#pragma once
// Comma-separated values as spreadsheet programs and LIMS read them: a byte-order mark first so the
// text is taken as UTF-8, commas between fields, CR LF after each row, a field in double quotes
// (inner quotes doubled) when it holds a comma, a quote, a line break or blanks at either end.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

inline constexpr std::string_view utf8_byte_order_mark = "\xEF\xBB\xBF";

// One field as written; the text is made UTF-8 first (cp1252_to_utf8).
std::string csv_field(std::string_view text);
void write_csv_row(std::ostream& out, const std::vector<std::string_view>& cells);

} // namespace xkv
