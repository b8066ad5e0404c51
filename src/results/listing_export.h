#pragma once
// The viewer's listing as CSV or XLSX: its headers and rows, the characteristic limits appended,
// written row by row (a listing straight from the database is never held whole).

#include "results/listing_rows.h"
#include "results/listing_writer.h"
#include "results/text_table.h"
#include "results/viewer_query.h"

#include <string>
#include <string_view>

namespace xkv {

// The listing from the database, each row written as the store returns it.
void export_listing(results_store& store, const bound_statement& select, listing_writer& out, bool with_limits,
                    double k, row_extras* extras = nullptr);
void export_listing(const std::string& location, const bound_statement& select, listing_writer& out, bool with_limits,
                    double k, row_extras* extras = nullptr);
// The viewer's grid (row 0 the headers), with the limits.
void export_grid(const text_table& grid, listing_writer& out, double k, row_extras* extras = nullptr);

// The file types of the viewer's save dialog, by the chosen name's extension; .xls for any other.
enum class export_format {
    xls,
    xlsx,
    csv
};
export_format export_format_of(std::string_view file_name);
inline constexpr const char* export_dialog_filter = "excel file|*.xls|Excel workbook|*.xlsx|CSV file|*.csv";

} // namespace xkv
