#include "lab/row_details.h"

#include "lab/row_lab.h"

namespace xkv {

namespace {

// The names of a channel's nine lab cells, in their order.
const std::array<const char*, lab_channel_column_count> value_names = {"y (lab result)",
                                                                       "u(y)",
                                                                       "y* (decision threshold)",
                                                                       "y# (detection limit)",
                                                                       "\xC5\xB7 (best estimate)",
                                                                       "u(\xC5\xB7)",
                                                                       "lower limit",
                                                                       "upper limit",
                                                                       "detected"};

} // namespace

std::string calibration_line(const calibration_record& r) {
    std::string line =
        std::string(kind_name(r.kind)) + " v" + r.version + " of " + r.set_name + ": " + r.value + " (u " + r.u + ")";
    if (!r.nuclide.empty()) line += ", " + r.nuclide;
    line += ", measured " + r.measured_at;
    if (!r.user_name.empty()) line += " by " + r.user_name;
    if (!r.station.empty()) line += " at " + r.station;
    if (!r.counter.empty()) line += " on " + r.counter;
    return line;
}

row_details lab_row_details(const std::vector<std::string>& lab, const std::vector<calibration_record>& records) {
    const auto at = [&lab](std::size_t i) { return i < lab.size() ? lab[i] : std::string(); };
    row_details d;
    d.columns = {"alpha", "beta"};
    for (std::size_t v = 0; v < lab_channel_column_count; ++v) {
        d.names.emplace_back(value_names[v]);
        d.values.push_back({at(v), at(lab_channel_column_count + v)});
    }
    if (records.empty()) {
        d.notes.push_back("Saved without records of its calibrations: it uses the set's keys as they are now.");
    } else {
        d.notes.emplace_back("Calibrations used:");
        for (const calibration_record& r : records) d.notes.push_back("  " + calibration_line(r));
    }
    if (const std::string qc = at(lab_column_count - 1); !qc.empty()) d.notes.push_back("QC: " + qc);
    return d;
}

} // namespace xkv
