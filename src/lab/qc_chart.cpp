#include "lab/qc_chart.h"

#include <map>
#include <tuple>

namespace xkv {

std::vector<named_chart> qc_charts(const std::vector<qc_record>& records) {
    using key = std::tuple<std::string, std::string, std::string, std::size_t>; // counter, kind, source, channel
    std::map<key, named_chart> charts;
    std::vector<key> order;
    static const char* const channels[] = {"alpha", "beta"};
    for (const qc_record& r : records) {
        const auto at = utc_seconds(r.origin.when);
        if (!at) continue;
        for (std::size_t c = 0; c < 2; ++c) {
            const qc_channel& ch = r.channels[c];
            if (!ch.judged) continue;
            const key k{r.origin.counter, r.kind, r.source, c};
            auto [it, added] = charts.try_emplace(k);
            named_chart& n = it->second;
            if (added) {
                order.push_back(k);
                const std::string what = r.kind == qc_kind_source ? "efficiency" : "rate";
                n.name = "QC " + r.kind + (r.source.empty() ? "" : " " + r.source) + " " + channels[c] + " " + what +
                         (r.origin.counter.empty() ? "" : " (" + r.origin.counter + ")");
                n.chart.title = n.name;
            }
            n.chart.points.push_back({*at, ch.value, ch.u_value, ch.verdict == qc_verdict::fail});
            if (ch.limits) n.chart.lines = {ch.mean, ch.sigma};
        }
    }
    std::vector<named_chart> out;
    for (const key& k : order) {
        named_chart& n = charts[k];
        if (n.chart.lines.sigma == 0 && n.chart.lines.mean == 0) {
            std::vector<double> values;
            for (const control_point& p : n.chart.points) values.push_back(p.value);
            n.chart.lines = control_lines_of(values);
        }
        n.chart.error_bars = true;
        out.push_back(std::move(n));
    }
    return out;
}

} // namespace xkv
