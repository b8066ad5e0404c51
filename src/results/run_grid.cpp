#include "results/run_grid.h"

#include "results/result_columns.h"
#include "settings/value_text.h"

namespace xkv {

namespace {

// The grid's columns in its order.
std::array<const result_column*, run_grid_column_count> grid_columns() {
    std::array<const result_column*, run_grid_column_count> in_order{};
    for (const result_column& c : results_columns())
        if (c.grid_position >= 0) in_order.at(c.grid_position) = &c;
    return in_order;
}

std::array<std::string_view, run_grid_column_count> grid_headers() {
    std::array<std::string_view, run_grid_column_count> headers{};
    for (std::size_t i = 0; i < headers.size(); ++i) headers[i] = grid_columns()[i]->shown_in_grid();
    return headers;
}

std::vector<std::string> grid_row(std::size_t slot, const _r_results& r) {
    static const auto columns = grid_columns();
    std::vector<std::string> row;
    row.reserve(columns.size());
    for (const result_column* c : columns)
        row.push_back(c->name == row_number_column ? decimal(slot) : c->field.get(r));
    return row;
}

} // namespace

const std::array<std::string_view, run_grid_column_count> run_grid_headers = grid_headers();

std::vector<std::vector<std::string>> show_table(const run_table& table) {
    std::vector<std::vector<std::string>> grid;
    grid.emplace_back(run_grid_headers.begin(), run_grid_headers.end());
    for (std::size_t i = 0; i < table.size() && !table[i].sample_id.empty(); ++i) grid.push_back(grid_row(i, table[i]));
    return grid;
}

} // namespace xkv
