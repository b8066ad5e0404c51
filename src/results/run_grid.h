#pragma once
// The run window's result grid: the results columns that have a grid position, row 0 the headers,
// row r+1 the run table's slot r.

#include "measurement/r_results.h"
#include "results/result_columns.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

inline constexpr std::size_t run_grid_column_count = grid_column_count();

extern const std::array<std::string_view, run_grid_column_count> run_grid_headers;

// The grid's texts: the headers, then the filled slots up to the first empty one. A slot the run
// has prepared but not measured (efficiencies and background already in) is not shown.
std::vector<std::vector<std::string>> show_table(const run_table& table);

} // namespace xkv
