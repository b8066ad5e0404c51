#pragma once
// Text bytes between UTF-8 and Windows-1252, by one rule: bytes that are valid UTF-8 are UTF-8, any
// other text is Windows-1252. Files and databases written on the original platform hold
// Windows-1252; this program writes UTF-8; files whose format has a single-byte code page (the
// .xls) get Windows-1252.

#include <string>
#include <string_view>

namespace xkv {

bool is_valid_utf8(std::string_view text);

// Valid UTF-8 becomes Windows-1252, a character Windows-1252 lacks becoming "?"; any other text
// is taken as Windows-1252 already and comes back unchanged.
std::string utf8_to_cp1252(std::string_view text);

// Valid UTF-8 comes back unchanged; any other text is read as Windows-1252 and becomes UTF-8. The
// five bytes Windows-1252 leaves undefined become the control characters of the same number, so
// utf8_to_cp1252 gives the original bytes back.
std::string cp1252_to_utf8(std::string_view text);

} // namespace xkv
