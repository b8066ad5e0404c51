#pragma once
// The run window's result grid: 30 columns, row 0 the headers, row r+1 the run table's slot r.

#include "measurement/r_results.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

inline constexpr std::size_t run_grid_column_count = 30;

extern const std::array<std::string_view, run_grid_column_count> run_grid_headers;

// The grid's texts: the headers, then slot 0 (always) and every following filled slot.
std::vector<std::vector<std::string>> show_table(const run_table& table);

} // namespace xkv
