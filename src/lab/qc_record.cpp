#include "lab/qc_record.h"

#include "settings/value_text.h"

#include <algorithm>
#include <cmath>

namespace xkv {

namespace {

// The accepted values of one channel in the history that share this record's counter, kind and source.
std::vector<double> accepted_values(const std::vector<qc_record>& history, const std::string& counter,
                                    const std::string& kind, const std::string& source, std::size_t channel) {
    std::vector<double> values;
    for (const qc_record& r : history) {
        const qc_channel& ch = r.channels[channel];
        if (r.origin.counter == counter && r.kind == kind && r.source == source && ch.judged &&
            ch.verdict != qc_verdict::fail)
            values.push_back(ch.value);
    }
    return values;
}

} // namespace

qc_record judge_qc(const qc_count& in, const std::vector<qc_record>& history, const std::string& counter,
                   const std::string& source) {
    qc_record r;
    r.kind = in.kind;
    r.source = source;
    r.seconds = in.seconds;
    r.activity = in.activity;
    const bool background_kind = in.kind == qc_kind_background;
    static const char* const names[] = {"alpha", "beta"};
    for (std::size_t c = 0; c < 2; ++c) {
        qc_channel& ch = r.channels[c];
        ch.judged = background_kind || in.channels[c];
        if (!ch.judged) continue;
        ch.counts = in.counts[c];
        ch.rate = in.counts[c] / in.seconds;
        std::string why;
        if (background_kind) {
            const background_check b =
                check_background(in.counts[c], in.seconds, in.background[c], in.background_seconds);
            ch.value = b.rate;
            ch.u_value = std::sqrt(std::max(in.counts[c], 1.0)) / in.seconds;
            ch.expected = b.expected;
            ch.verdict = b.verdict;
            why = format_general(b.sigmas) + " sigma above the profile's background";
        } else {
            const double r0 = in.background_correction ? in.background[c] : 0;
            const source_check s = check_source(net_rate_of(in.counts[c], in.seconds, r0, in.background_seconds),
                                                in.activity, in.efficiency[c], in.tolerance_percent);
            ch.value = s.efficiency;
            ch.u_value = s.u_efficiency;
            ch.expected = s.expected;
            ch.verdict = s.verdict;
            why = format_general(s.deviation_percent) + " % from the set's efficiency";
        }
        const auto limits = control_limits_of(accepted_values(history, counter, in.kind, source, c), ch.u_value);
        if (limits) {
            ch.limits = true;
            ch.mean = limits->mean;
            ch.sigma = limits->sigma;
            const qc_verdict control = control_verdict(ch.value, *limits);
            if (control != qc_verdict::pass)
                why +=
                    ", beyond " + std::string(control == qc_verdict::fail ? "3" : "2") + " sigma of its control limits";
            ch.verdict = worse(ch.verdict, control);
        }
        if (chi_square_verdict(in.series[c]) == qc_verdict::warn) {
            why += ", series chi-square outside 0.05..0.95";
            ch.verdict = worse(ch.verdict, qc_verdict::warn);
        }
        r.verdict = worse(r.verdict, ch.verdict);
        r.note += (r.note.empty() ? "" : "; ") + std::string(names[c]) + " " + verdict_name(ch.verdict) + ": " + why;
    }
    return r;
}

const qc_record* last_qc(const std::vector<qc_record>& records, const std::string& counter, const std::string& kind) {
    const qc_record* last = nullptr;
    for (const qc_record& r : records)
        if (r.origin.counter == counter && r.kind == kind) last = &r;
    return last;
}

bool qc_current_for(const std::vector<qc_record>& records, const std::string& counter, std::int64_t now,
                    double max_age_hours) {
    const auto last = [&](const char* kind) -> std::optional<last_check> {
        const qc_record* r = last_qc(records, counter, kind);
        if (!r) return std::nullopt;
        const auto at = utc_seconds(r->origin.when);
        if (!at) return std::nullopt;
        return last_check{r->verdict, *at};
    };
    return qc_current(last(qc_kind_background), last(qc_kind_source), now, max_age_hours);
}

std::string station_counter(const std::vector<qc_record>& records, const std::string& station) {
    std::string counter;
    for (const qc_record& r : records)
        if (r.origin.station == station) counter = r.origin.counter;
    return counter;
}

} // namespace xkv
