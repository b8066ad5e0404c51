#pragma once
// Texts written on the original platform are Windows-1252; texts written here are UTF-8. A byte
// string that is valid UTF-8 is taken as UTF-8, any other as Windows-1252.

#include <string>
#include <string_view>

namespace xkv {

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool is_valid_utf8(std::string_view text);

// Every byte becomes one character; the five bytes Windows-1252 leaves unassigned become the
// control characters of the same number, so the way back gives the same bytes.
std::string cp1252_to_utf8(std::string_view text);

// UTF-8 text in Windows-1252; a character it lacks becomes "?". Text that is not valid UTF-8 is
// taken to be Windows-1252 already and passes unchanged.
std::string utf8_to_cp1252(std::string_view text);

} // namespace xkv
