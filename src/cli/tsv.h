#pragma once
// Rows as tab-separated values: one tab between cells, LF after each row; a backslash, tab, CR or LF
// inside a cell is written as \\, \t, \r, \n so that every row stays one line.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace xkv::cli {

std::string tsv_escape(std::string_view cell);
void append_tsv_escaped(std::string& out, std::string_view cell);
void write_tsv_row(std::ostream& out, const std::vector<std::string>& cells);

} // namespace xkv::cli
