#include "results/listing_export.h"

#include "settings/ascii_case.h"

namespace xkv {

void export_listing(results_store& store, const bound_statement& select, listing_writer& out, bool with_limits,
                    double k, row_extras* extras) {
    listing_rows rows(out, with_limits, k, extras);
    rows.header();
    stream_results(store, select, [&rows](const std::vector<std::string_view>& cells) { rows.row(cells); });
    out.finish();
}

void export_listing(const std::string& location, const bound_statement& select, listing_writer& out, bool with_limits,
                    double k, row_extras* extras) {
    export_listing(*open_results_store(location), select, out, with_limits, k, extras);
}

void export_grid(const text_table& grid, listing_writer& out, double k, row_extras* extras) {
    listing_rows rows(out, true, k, extras);
    rows.header();
    std::vector<std::string_view> cells;
    for (std::size_t r = 1; r < grid.row_count(); ++r) {
        grid.row_views(r, cells);
        rows.row(cells);
    }
    out.finish();
}

export_format export_format_of(std::string_view name) {
    const auto ends_with = [name](std::string_view ext) {
        return name.size() >= ext.size() && equal_ignoring_case(name.substr(name.size() - ext.size()), ext);
    };
    if (ends_with(".xlsx")) return export_format::xlsx;
    if (ends_with(".csv")) return export_format::csv;
    return export_format::xls;
}

} // namespace xkv
