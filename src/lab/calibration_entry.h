#pragma once
// A calibration from what the operator gives: the kind, the certified source and the counts, either
// as the window's fields and the CLI's options give them (texts) or as a run counted them. The CLI
// and the calibration window build their records here, so both make the same record of the same input.

#include "lab/standard_calibration.h"
#include "measurement/calibration.h"
#include "settings/options.h"

#include <array>
#include <string>
#include <string_view>

namespace xkv {

// Efficiencies calibrate one channel; crosstalk is measured from a pure source in one channel.
inline bool is_efficiency(calibration_kind kind) {
    return kind == calibration_kind::alpha_efficiency || kind == calibration_kind::beta_efficiency;
}
// The channel calibrated (efficiency) or the source's channel (crosstalk): 0 alpha, 1 beta.
inline int channel_of(calibration_kind kind) {
    return kind == calibration_kind::beta_efficiency || kind == calibration_kind::beta_to_alpha ? 1 : 0;
}

// The description a standard's run is stored under: "alpha efficiency calibration", "beta crosstalk
// calibration", ...
std::string standard_description(calibration_kind kind);

// The counts read elsewhere: "N" (an efficiency) or "N_alpha,N_beta" (crosstalk). Throws
// calibration_error.
std::array<double, 2> entered_count_values(std::string_view text, bool both);
// What a run of the standard counted, as the operator would have entered it for `kind`: the
// counts field's text, which entered_count_values reads back.
std::string entered_counts_text(const standard_counts& counted, calibration_kind kind);

// Counts entered by hand over `time` seconds, with the profile's background as a run of the set
// would take it (0 where the set has no background correction).
standard_counts entered_counts(const std::array<double, 2>& counts, double time, const _options& profile,
                               const _calibration& set);

// The record of `kind` from its source and counts (the source is only read for an efficiency).
// Throws calibration_error.
calibration_record make_calibration(const std::string& set_name, calibration_kind kind, const certified_source& source,
                                    const standard_counts& counts, const std::string& measured_date);

// The window's fields as typed.
struct calibration_entry {
    std::string set_name;
    calibration_kind kind = calibration_kind::alpha_efficiency;
    std::string nuclide, activity, u_activity, reference_date, half_life_years;
    std::string counts, time;  // entered by hand
    std::string measured_date; // YYYY-MM-DD
};

// The entry's source; a field that is no number throws calibration_error naming it.
certified_source source_of_entry(const calibration_entry& entry);
// From the counts entered by hand, the set's background as `entered_counts` takes it.
calibration_record calibration_of_entry(const calibration_entry& entry, const _options& profile,
                                        const _calibration& set);
// From counts a run of the standard counted.
calibration_record calibration_of_entry(const calibration_entry& entry, const standard_counts& counts);

} // namespace xkv
