#pragma once
// The order of the viewer's columns when the operator sorts by one: numbers by value, time stamps
// in time order, other texts by their bytes. The view is sorted and the listing that SHOW made keeps
// its order; the exports and the report take the rows in the order shown.

#include "results/text_table.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace xkv {

// True when `a` goes before `b`: empty cells first, then numbers, then time stamps
// ("yyyy-MM-dd" with an optional " hh:mm:ss"), then other texts.
bool viewer_cell_less(std::string_view a, std::string_view b);

// The listing's header row, then its data rows in `order` (data rows counted from 0, as the sorted
// view lists them).
text_table rows_in_order(const text_table& listing, const std::vector<std::size_t>& order);

} // namespace xkv
