#pragma once
// The spreadsheet file of the viewer's listing: a minimal worksheet stream of one BOF record, one
// text LABEL record per cell (column by column, each from row 0) and one EOF record.

#include "results/text_table.h"

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// A row index is a 16-bit word, so a worksheet holds rows 0 to 65535.
inline constexpr std::size_t xls_max_rows = 65536;
// The record length (8 + text length) is a 16-bit word too.
inline constexpr std::size_t xls_max_cell_bytes = 65527;

// One LABEL record, its text in Windows-1252 (valid UTF-8 converted, a character the code page
// lacks as "?", other text taken as Windows-1252 already); a longer text is cut to xls_max_cell_bytes.
void write_label_cell(std::ostream& out, std::uint16_t column, std::uint16_t row, std::string_view text);

// Creates or replaces the file; a short row's missing cells are written empty. Returns true; throws
// file_error when the file cannot be created or written (an earlier file then stays as it was), and,
// before touching any file, when the grid (a header row and the listed rows) has more rows than a
// worksheet holds.
bool save_grid_as_xls(const text_table& grid, const std::string& file_name);

} // namespace xkv
