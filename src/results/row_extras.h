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

class row_extras {
public:
    virtual ~row_extras() = default;
    // The columns after the limits.
    virtual const std::vector<std::string>& headers() const = 0;
    // A listed row (the viewer's columns in order): the six limit cells, then one cell per header.
    virtual std::vector<std::string> listing_cells(const std::vector<std::string_view>& cells) = 0;
    // The same for a report's row.
    virtual std::vector<std::string> row_cells(const _r_results& row) = 0;
};

} // namespace xkv
