#pragma once
// Values that a layer above the results computes for each row (the lab's results with the
// calibrations in force): the characteristic limits in their place, further columns after them in
// listings and exports, and the values of the report's lab tags.

#include "measurement/r_results.h"
#include "results/row_limits.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// One row's values in detail, for the viewer's details view: a table of named values by column
// (the channels), and lines of text under it.
struct row_details {
    std::vector<std::string> columns;             // "alpha", "beta"
    std::vector<std::string> names;               // one per table row
    std::vector<std::vector<std::string>> values; // [table row][column]
    std::vector<std::string> notes;
};

class row_extras {
public:
    virtual ~row_extras() = default;
    // The columns after the limits.
    virtual const std::vector<std::string>& headers() const = 0;
    // A listed row (the viewer's columns in order): the six limit cells, then one cell per header.
    virtual std::vector<std::string> listing_cells(const std::vector<std::string_view>& cells) = 0;
    // The same for a report's row.
    virtual std::vector<std::string> row_cells(const _r_results& row) = 0;
    // A listed row's extras in detail.
    virtual row_details details(const std::vector<std::string_view>& cells) = 0;
};

} // namespace xkv
