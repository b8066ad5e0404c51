#pragma once
// File dialog filters are written "caption|pattern;pattern"; the dialog shows them as
// "caption (pattern pattern)". A filter without "|" matches every file.

#include <string>

namespace xkv {

// "" stays ""; "caption" gives "caption (*)"; "caption|*.a;*.b" gives "caption (*.a *.b)".
std::string dialog_name_filter(const std::string& filter);

} // namespace xkv
