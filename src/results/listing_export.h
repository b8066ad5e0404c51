#pragma once
// The viewer's listing as CSV or XLSX: its headers and rows, the characteristic limits appended,
// written row by row (a listing straight from the database is never held whole). Each file is
// written beside its target and renamed over it when complete.

#include "results/text_table.h"
#include "results/viewer_query.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// Where the rows of a listing go, header row first.
class listing_writer {
public:
    virtual ~listing_writer() = default;
    virtual void row(const std::vector<std::string_view>& cells) = 0;
    // Completes the file; without it the target stays as it was.
    virtual void finish() = 0;
};

std::unique_ptr<listing_writer> csv_file_writer(const std::string& file_name);
// Numbers as numbers, the date as a date, a bold frozen header row with an autofilter.
std::unique_ptr<listing_writer> xlsx_file_writer(const std::string& file_name);

// Adds the limit columns (with k) to every row it passes on; a plain pass-through without limits.
class listing_rows {
public:
    listing_rows(listing_writer& out, bool with_limits, double k) : out_(out), limits_(with_limits), k_(k) {}
    void header();
    void row(const std::vector<std::string_view>& cells);

private:
    listing_writer& out_;
    bool limits_;
    double k_;
    std::vector<std::string_view> cells_;
};

// The listing from the database, each row written as SQLite returns it.
void export_listing(const std::string& database_path, const bound_statement& select, listing_writer& out,
                    bool with_limits, double k);
// The viewer's grid (row 0 the headers), with the limits.
void export_grid(const text_table& grid, listing_writer& out, double k);

// The file types of the viewer's save dialog, by the chosen name's extension; .xls for any other.
enum class export_format {
    xls,
    xlsx,
    csv
};
export_format export_format_of(std::string_view file_name);
inline constexpr const char* export_dialog_filter = "excel file|*.xls|Excel workbook|*.xlsx|CSV file|*.csv";

} // namespace xkv
