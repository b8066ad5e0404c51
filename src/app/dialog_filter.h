#pragma once
// File dialog filters are written "caption|pattern;pattern"; the dialog shows them as
// "caption (pattern pattern)". A filter without "|" matches every file.

#include <string>

namespace xkv {

// "" stays ""; "caption" gives "caption (*)"; "caption|*.a;*.b" gives "caption (*.a *.b)".
// Several pairs, "a|*.x|b|*.y", give the dialog's list of filters "a (*.x);;b (*.y)".
std::string dialog_name_filter(const std::string& filter);

// The extension of a dialog filter's first pattern: "excel file (*.xls *.xlw)" gives "xls"; "" for "*".
std::string filter_extension(const std::string& name_filter);

} // namespace xkv
