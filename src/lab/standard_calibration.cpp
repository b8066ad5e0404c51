#include "lab/standard_calibration.h"

#include "lab/crosstalk_keys.h"
#include "lab/standard_math.h"
#include "measurement/parameter_sets.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv {

namespace {

bool counter_mode(std::string_view mode) { return mode == "C1-C2" || mode == "C1,C2"; }

double seconds(std::string_view text) {
    const auto value = digits_to_int(text);
    return static_cast<double>(value == 0 ? 1 : value);
}

const char* channel_name(int channel) { return channel == 0 ? "alpha" : "beta"; }

void fill_counts(calibration_record& rec, const standard_counts& counts, int channel) {
    rec.counting_time = format_general(counts.time);
    rec.background_time = format_general(counts.background_time);
    if (channel < 0) {
        rec.counts = format_general(counts.counts[0]) + "," + format_general(counts.counts[1]);
        rec.background_rate =
            format_general(counts.background_rate[0]) + "," + format_general(counts.background_rate[1]);
    } else {
        rec.counts = format_general(counts.counts[channel]);
        rec.background_rate = format_general(counts.background_rate[channel]);
    }
}

net_rate net_of(const standard_counts& counts, int channel) {
    if (!(counts.time > 0) || !(counts.background_time > 0))
        throw calibration_error("the counting times must be above 0");
    if (!(counts.counts[channel] >= 0)) throw calibration_error("the counts must be 0 or more");
    const net_rate n =
        net_rate_of(counts.counts[channel], counts.time, counts.background_rate[channel], counts.background_time);
    if (!(n.value > 0))
        throw calibration_error(std::string("the net ") + channel_name(channel) + " count rate is not above 0 (" +
                                format_general(n.value) + " /s)");
    return n;
}

} // namespace

standard_counts counts_of_row(const _r_results& row) {
    standard_counts c;
    c.time = seconds(row.time);
    c.background_time = seconds(row.background.time);
    const double values[2] = {parse_float(row.p1), parse_float(row.p2)};
    const double backgrounds[2] = {parse_float(row.background.alpha), parse_float(row.background.beta)};
    for (int ch = 0; ch < 2; ++ch) {
        c.counts[ch] = counter_mode(row.mode) ? values[ch] : values[ch] * c.time;
        c.background_rate[ch] = row.calibration.background_correction ? backgrounds[ch] : 0;
    }
    return c;
}

calibration_record efficiency_calibration(const std::string& set_name, int channel, const certified_source& source,
                                          const standard_counts& counts, const std::string& measured_date) {
    if (!(source.activity > 0)) throw calibration_error("the certified activity must be above 0");
    if (!(source.u_activity >= 0)) throw calibration_error("the uncertainty of the activity must be 0 or more");
    if (!(source.half_life_years > 0)) throw calibration_error("the half-life must be above 0");
    const auto reference = civil_day(source.reference_date);
    if (!reference) throw calibration_error("the reference date '" + source.reference_date + "' is no date YYYY-MM-DD");
    const auto measured = civil_day(measured_date);
    if (!measured) throw calibration_error("the measurement date '" + measured_date + "' is no date YYYY-MM-DD");

    const efficiency_value e = efficiency_of(net_of(counts, channel), source.activity, source.u_activity,
                                             static_cast<double>(*measured - *reference), source.half_life_years);
    calibration_record rec;
    rec.set_name = set_name;
    rec.kind = channel == 0 ? calibration_kind::alpha_efficiency : calibration_kind::beta_efficiency;
    rec.value = format_general(e.value);
    rec.u = format_general(e.u_rel);
    rec.nuclide = source.nuclide;
    rec.activity = format_general(source.activity);
    rec.u_activity = format_general(source.u_activity);
    rec.reference_date = source.reference_date;
    rec.half_life_years = format_general(source.half_life_years);
    fill_counts(rec, counts, channel);
    return rec;
}

calibration_record crosstalk_calibration(const std::string& set_name, int source_channel, const std::string& nuclide,
                                         const standard_counts& counts) {
    const int other = 1 - source_channel;
    const net_rate source = net_of(counts, source_channel);
    const net_rate spilled = net_of(counts, other);
    const factor_value f = crosstalk_of(spilled, source);
    calibration_record rec;
    rec.set_name = set_name;
    rec.kind = source_channel == 0 ? calibration_kind::alpha_to_beta : calibration_kind::beta_to_alpha;
    rec.value = format_general(f.value);
    rec.u = format_general(f.u);
    rec.nuclide = nuclide;
    fill_counts(rec, counts, -1);
    return rec;
}

void apply_calibration(const std::string& calibration_path, const calibration_record& rec) {
    switch (rec.kind) {
    case calibration_kind::alpha_efficiency:
    case calibration_kind::beta_efficiency: {
        _calibration set = load_parameter_set(calibration_path, rec.set_name);
        (rec.kind == calibration_kind::alpha_efficiency ? set.alpha : set.beta) = rec.value;
        (rec.kind == calibration_kind::alpha_efficiency ? set.act_alpha : set.act_beta) = rec.u;
        save_parameter_set(calibration_path, rec.set_name, set);
        return;
    }
    case calibration_kind::alpha_to_beta:
    case calibration_kind::beta_to_alpha:
        write_set_crosstalk(calibration_path, rec.set_name, rec.kind == calibration_kind::alpha_to_beta,
                            parse_float(rec.value), parse_float(rec.u));
        return;
    }
}

} // namespace xkv
