#include "results/run_grid.h"

#include <charconv>

namespace xkv {

const std::array<std::string_view, run_grid_column_count> run_grid_headers = {
    "count", "Sample ID", "description", "Series number", "HV [V]", "mode", "Alpha counter",
    "Beta counter", "time", "preset time", "Eff Alpha", "Uncertainty Eff Alpha", "Eff Beta",
    "Uncertainty Eff Beta", "caption", "name", "activity alpha", "Uncertainty of activity alpha",
    "activity beta", "Uncertainty of activity beta", "backgnd alpha", "backgnd beta", "backgnd time",
    "Quantity", "Units", "MDA alpha", "MDA beta", "K1", "Text activity alpha", "Text activity beta",
};

namespace {

std::string decimal(std::size_t n) {
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, n).ptr);
}

// Efficiencies come alpha, its uncertainty, beta, its uncertainty: not the record's order.
std::vector<std::string> grid_row(std::size_t slot, const _r_results& r) {
    return {decimal(slot),
            r.sample_id,
            r.description,
            r.series_number,
            r.hv,
            r.mode,
            r.p1,
            r.p2,
            r.time,
            r.preset_time,
            r.calibration.alpha,
            r.calibration.act_alpha,
            r.calibration.beta,
            r.calibration.act_beta,
            r.calibration.caption,
            r.calibration.name,
            r.activity_l,
            r.u_activity_l,
            r.activity_b,
            r.u_activity_b,
            r.background.alpha,
            r.background.beta,
            r.background.time,
            r.quantity,
            r.units,
            r.MDA_a,
            r.MDA_b,
            r.koef_k,
            r.text_act_a,
            r.text_act_b};
}

} // namespace

std::vector<std::vector<std::string>> show_table(const run_table& table) {
    std::vector<std::vector<std::string>> grid;
    grid.emplace_back(run_grid_headers.begin(), run_grid_headers.end());
    for (std::size_t i = 0; i < table.size() && !table[i].sample_id.empty(); ++i) grid.push_back(grid_row(i, table[i]));
    return grid;
}

} // namespace xkv
