#pragma once
// The database viewer without its window: the selects built from the filter boxes, the listing
// as text rows, and the refills of the four filter lists. The viewer window and the CLI share it.
// Every operator text is bound as a parameter; no operator text becomes SQL.

#include "results/result_columns.h"
#include "results/results_store.h"
#include "results/text_table.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// The listing as the viewer shows it: row 0 the headers, then one row of texts per result, in the
// order of results_columns().
// The spreadsheet export and the viewer's report take it as it is.
using viewer_grid = text_table;

inline constexpr std::size_t viewer_column_count = results_column_count;
extern const std::array<std::string_view, viewer_column_count> viewer_headers;
// The table column each listing column shows, in listing order; the selects are made of them.
extern const std::array<std::string_view, viewer_column_count> viewer_column_names;
// The listing position of a table column; throws std::out_of_range for a column not listed.
std::size_t viewer_column(std::string_view name);

struct calendar_date {
    int year = 2000;
    int month = 1;
    int day = 1;
};

// The viewer's filter boxes; an empty text or an absent date adds no condition.
struct viewer_filter {
    std::optional<calendar_date> from_date; // "FROM DATE" ticked: fromdate
    std::optional<calendar_date> to_date;   // "TO DATE" ticked: todate
    std::string sample_id;                  // samplecombo
    std::string cal_name;                   // calcombo
    std::string mode;                       // modecombo
    std::string hv;                         // hvcombo
    std::string from_value_1;               // bounds on p1 and p2
    std::string to_value_1;
    std::string from_value_2;
    std::string to_value_2;
};

// A statement with its values, bound to its parameters in order as texts.
struct bound_statement {
    std::string sql;
    std::vector<std::string> values;
};

// The whole table, as the window lists it when shown.
bound_statement base_select();

// Cleans the four bound boxes with clean_number; the window writes them back into its boxes
// before it builds the select, so the operator sees what the filter compares with.
void clean_bounds(viewer_filter& filter);

// SHOW's select: dates strictly on the time stamp text, exact sample, set name, mode and high
// voltage, inclusive numeric bounds. Throws conversion_error for a bound that cleans to a lone ".".
bound_statement filtered_select(const viewer_filter& filter);

// Runs the select on the store; the listing with its header row. Throws ESQLiteException.
viewer_grid list_results(results_store& store, const bound_statement& select);
// The same rows without the header row, each handed on as the store returns it and then forgotten.
void stream_results(results_store& store, const bound_statement& select, const store_row_handler& row);
// The same on a store opened at `location` for this one listing.
viewer_grid list_results(const std::string& location, const bound_statement& select);
void stream_results(const std::string& location, const bound_statement& select, const store_row_handler& row);

enum class filter_list {
    sample,
    mode,
    cal_name,
    hv
};

// The stored values that begin with `typed` (LIKE: a to z in either case, no other letters; "%" and
// "_" are wildcards, nothing escapes them), the same on either store.
bound_statement list_select(filter_list list, const std::string& typed, store_dialect dialect = store_dialect::sqlite);
std::vector<std::string> refill_list(results_store& store, filter_list list, const std::string& typed);
std::vector<std::string> refill_list(const std::string& location, filter_list list, const std::string& typed);

} // namespace xkv
