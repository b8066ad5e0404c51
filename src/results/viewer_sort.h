#pragma once
// The order of the viewer's columns when the operator sorts by one: numbers by value, time stamps
// in time order, other texts by their bytes. Only the view is sorted; the listing that SHOW made,
// and that the export and the report take, keeps its order.

#include <string_view>

namespace xkv {

// True when `a` goes before `b`: empty cells first, then numbers, then time stamps
// ("yyyy-MM-dd" with an optional " hh:mm:ss"), then other texts.
bool viewer_cell_less(std::string_view a, std::string_view b);

} // namespace xkv
