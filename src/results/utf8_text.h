#pragma once
// Stored texts are UTF-8, or Windows-1252 when written on the original platform. Files whose format
// is UTF-8 (CSV, XLSX) take them through here, read the one way the whole program reads them.

#include <string>
#include <string_view>

namespace xkv {

bool is_valid_utf8(std::string_view text);
// Valid UTF-8 unchanged; any other text read as Windows-1252 and written as UTF-8.
std::string as_utf8(std::string_view text);

} // namespace xkv
