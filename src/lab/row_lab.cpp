#include "lab/row_lab.h"

#include "settings/value_text.h"

namespace xkv {

const std::array<std::string_view, lab_column_count> lab_headers = {"lab result alpha",
                                                                    "u(lab result) alpha",
                                                                    "lab decision threshold alpha",
                                                                    "lab detection limit alpha",
                                                                    "best estimate alpha",
                                                                    "u(best estimate) alpha",
                                                                    "coverage lower alpha",
                                                                    "coverage upper alpha",
                                                                    "lab detection alpha",
                                                                    "lab result beta",
                                                                    "u(lab result) beta",
                                                                    "lab decision threshold beta",
                                                                    "lab detection limit beta",
                                                                    "best estimate beta",
                                                                    "u(best estimate) beta",
                                                                    "coverage lower beta",
                                                                    "coverage upper beta",
                                                                    "lab detection beta",
                                                                    "calibrations",
                                                                    "QC"};

std::array<std::optional<lab_channel_result>, 2> row_lab_results(const std::array<stored_channel, 2>& channels,
                                                                 const crosstalk_factors& crosstalk, double k,
                                                                 double gamma) {
    const std::array<std::optional<counting_inputs>, 2> in = {counting_inputs_of(channels[0]),
                                                              counting_inputs_of(channels[1])};
    std::array<std::optional<lab_channel_result>, 2> out;
    const bool none = crosstalk.none();
    const channel_crosstalk of_alpha{crosstalk.beta_to_alpha, crosstalk.u_beta_to_alpha, crosstalk.alpha_to_beta,
                                     crosstalk.u_alpha_to_beta};
    const channel_crosstalk of_beta{crosstalk.alpha_to_beta, crosstalk.u_alpha_to_beta, crosstalk.beta_to_alpha,
                                    crosstalk.u_beta_to_alpha};
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const std::size_t other = 1 - ch;
        if (!in[ch] || (!none && !in[other])) continue;
        out[ch] = lab_channel(*in[ch], in[other].value_or(counting_inputs{}), ch == 0 ? of_alpha : of_beta, k, gamma);
    }
    return out;
}

std::array<std::string, limits_column_count>
lab_limits_cells(const std::array<std::optional<lab_channel_result>, 2>& results) {
    std::array<std::string, limits_column_count> cells;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        if (!results[ch]) continue;
        const lab_channel_result& r = *results[ch];
        cells[3 * ch] = format_general(r.decision_threshold);
        if (r.detection_limit) cells[3 * ch + 1] = format_general(*r.detection_limit);
        if (!r.detected()) cells[3 * ch + 2] = not_detected_text;
    }
    return cells;
}

std::array<std::string, lab_column_count> lab_cells(const std::array<std::optional<lab_channel_result>, 2>& results,
                                                    std::string_view calibrations, std::string_view qc_mark) {
    std::array<std::string, lab_column_count> cells;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        if (!results[ch]) continue;
        const lab_channel_result& r = *results[ch];
        std::string* c = &cells[ch * lab_channel_column_count];
        c[0] = format_general(r.result);
        c[1] = format_general(r.uncertainty);
        c[2] = format_general(r.decision_threshold);
        if (r.detection_limit) c[3] = format_general(*r.detection_limit);
        c[4] = format_general(r.best_estimate);
        c[5] = format_general(r.best_uncertainty);
        c[6] = format_general(r.lower);
        c[7] = format_general(r.upper);
        c[8] = r.detected() ? detected_text : not_detected_text;
    }
    cells[lab_column_count - 2] = calibrations;
    cells.back() = qc_mark;
    return cells;
}

} // namespace xkv
