#include "lab/calibration_entry.h"

#include "settings/errors.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv {

namespace {

double entry_number(const std::string& text, const char* what) {
    try {
        const double value = parse_float(text);
        if (std::isfinite(value)) return value;
    } catch (const conversion_error&) {}
    throw calibration_error(std::string("the ") + what + " '" + text + "' is no number");
}

} // namespace

std::string standard_description(calibration_kind kind) {
    const char* channel = channel_of(kind) == 0 ? "alpha" : "beta";
    return std::string(channel) + (is_efficiency(kind) ? " efficiency" : " crosstalk") + " calibration";
}

std::array<double, 2> entered_count_values(std::string_view text, bool both) {
    const auto comma = text.find(',');
    if (both != (comma != std::string_view::npos))
        throw calibration_error(both ? "the counts of a crosstalk are N_alpha,N_beta"
                                     : "the counts of an efficiency are one number");
    try {
        if (both) return {parse_float(text.substr(0, comma)), parse_float(text.substr(comma + 1))};
        const double n = parse_float(text);
        return {n, n};
    } catch (const conversion_error&) {
        throw calibration_error("the counts '" + std::string(text) + "' are no numbers");
    }
}

std::string entered_counts_text(const standard_counts& counted, calibration_kind kind) {
    if (is_efficiency(kind)) return format_general(counted.counts[static_cast<std::size_t>(channel_of(kind))]);
    return format_general(counted.counts[0]) + "," + format_general(counted.counts[1]);
}

standard_counts entered_counts(const std::array<double, 2>& counts, double time, const _options& profile,
                               const _calibration& set) {
    standard_counts c;
    c.counts = counts;
    c.time = time;
    const auto t0 = digits_to_int(profile.background.time);
    c.background_time = static_cast<double>(t0 == 0 ? 1 : t0); // as the run takes a time of 0
    if (set.background_correction)
        c.background_rate = {parse_float(profile.background.alpha), parse_float(profile.background.beta)};
    return c;
}

calibration_record make_calibration(const std::string& set_name, calibration_kind kind, const certified_source& source,
                                    const standard_counts& counts, const std::string& measured_date) {
    if (is_efficiency(kind)) return efficiency_calibration(set_name, channel_of(kind), source, counts, measured_date);
    return crosstalk_calibration(set_name, channel_of(kind), source.nuclide, counts);
}

certified_source source_of_entry(const calibration_entry& e) {
    certified_source s;
    s.nuclide = e.nuclide;
    if (!is_efficiency(e.kind)) return s; // a crosstalk source needs no certificate
    s.activity = entry_number(e.activity, "activity");
    s.u_activity = entry_number(e.u_activity, "uncertainty of the activity");
    s.reference_date = e.reference_date;
    s.half_life_years = entry_number(e.half_life_years, "half-life");
    return s;
}

calibration_record calibration_of_entry(const calibration_entry& e, const _options& profile, const _calibration& set) {
    const auto values = entered_count_values(e.counts, !is_efficiency(e.kind));
    return calibration_of_entry(e, entered_counts(values, entry_number(e.time, "counting time"), profile, set));
}

calibration_record calibration_of_entry(const calibration_entry& e, const standard_counts& counts) {
    return make_calibration(e.set_name, e.kind, source_of_entry(e), counts, e.measured_date);
}

} // namespace xkv
