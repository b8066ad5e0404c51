#include "results/row_limits.h"

#include "results/viewer_query.h"
#include "settings/errors.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv {

const std::array<std::string_view, limits_column_count> limits_headers = {
    "decision threshold alpha", "detection limit alpha", "detection alpha",
    "decision threshold beta",  "detection limit beta",  "detection beta",
};

namespace {

// The counter modes give counts; the ratemeter modes give rates.
bool counter_mode(std::string_view mode) { return mode == "C1-C2" || mode == "C1,C2"; }

// Seconds as the activity computation reads them: the digits, and 0 taken as 1.
double seconds(std::string_view text) {
    const auto value = digits_to_int(text);
    return static_cast<double>(value == 0 ? 1 : value);
}

} // namespace

std::optional<counting_inputs> counting_inputs_of(const stored_channel& ch) {
    try {
        counting_inputs in;
        in.gross_time = seconds(ch.time);
        in.background_time = seconds(ch.background_time);
        const double value = parse_float(ch.value);
        in.gross_rate = counter_mode(ch.mode) ? value / in.gross_time : value;
        in.background_rate = ch.background_correction ? parse_float(ch.background) : 0;
        // The activity is (K / Q) (R - B) / E: the net rate times K / (Q E).
        in.factor = parse_float(ch.koef_k) / (parse_float(ch.quantity) * parse_float(ch.efficiency));
        in.factor_u_rel = parse_float(ch.efficiency_u);
        if (!std::isfinite(in.factor) || !std::isfinite(in.gross_rate) || in.gross_rate < 0 || in.background_rate < 0)
            return std::nullopt;
        return in;
    } catch (const conversion_error&) {
        return std::nullopt;
    }
}

std::array<stored_channel, 2> channels_of_listing_row(const std::vector<std::string_view>& cells) {
    // Looked up once: this runs for every row of a listing.
    static const struct {
        std::size_t p1 = viewer_column("p1"), p2 = viewer_column("p2"), time = viewer_column("time"),
                    cal_l = viewer_column("cal_l"), cal_l_act = viewer_column("cal_l_act"),
                    cal_b = viewer_column("cal_b"), cal_b_act = viewer_column("cal_b_act"),
                    bck_l = viewer_column("bck_l"), bck_b = viewer_column("bck_b"),
                    bck_time = viewer_column("bck_time"), quantity = viewer_column("quantity"),
                    koef_k = viewer_column("koef_k"), mode = viewer_column("mode"),
                    bgn_corr = viewer_column("bgn_corr");
    } col;
    const auto at = [&cells](std::size_t i) { return i < cells.size() ? cells[i] : std::string_view{}; };
    stored_channel alpha{
        at(col.p1),       at(col.time),     at(col.cal_l),  at(col.cal_l_act), at(col.bck_l),
        at(col.bck_time), at(col.quantity), at(col.koef_k), at(col.mode),      trim_control(at(col.bgn_corr)) == "1"};
    stored_channel beta = alpha;
    beta.value = at(col.p2);
    beta.efficiency = at(col.cal_b);
    beta.efficiency_u = at(col.cal_b_act);
    beta.background = at(col.bck_b);
    return {alpha, beta};
}

std::array<stored_channel, 2> channels_of_row(const _r_results& row) {
    const _calibration& cal = row.calibration;
    stored_channel alpha{row.p1,
                         row.time,
                         cal.alpha,
                         cal.act_alpha,
                         row.background.alpha,
                         row.background.time,
                         row.quantity,
                         row.koef_k,
                         row.mode,
                         cal.background_correction};
    stored_channel beta = alpha;
    beta.value = row.p2;
    beta.efficiency = cal.beta;
    beta.efficiency_u = cal.act_beta;
    beta.background = row.background.beta;
    return {alpha, beta};
}

std::array<std::string, limits_column_count> limits_cells(const std::array<stored_channel, 2>& channels, double k) {
    std::array<std::string, limits_column_count> cells;
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const auto in = counting_inputs_of(channels[ch]);
        if (!in) continue;
        const characteristic_limits limits = iso11929_limits(*in, k);
        cells[3 * ch] = format_general(limits.decision_threshold);
        if (limits.detection_limit) cells[3 * ch + 1] = format_general(*limits.detection_limit);
        if (!limits.detected()) cells[3 * ch + 2] = not_detected_text;
    }
    return cells;
}

} // namespace xkv
