#pragma once
// One measurement result: the row of the run table, of the results database and of a report.
// Every number is kept as text. An empty sample_id ends a list of rows.

#include "measurement/calibration.h"
#include "measurement/run_setup.h"
#include "settings/options.h"

#include <array>
#include <string>

namespace xkv {

struct _r_results {
    std::string id;   // database row number; empty for rows of a run not yet saved
    std::string date; // database time stamp; empty for rows of a run not yet saved
    std::string sample_id;
    std::string description;
    std::string series_number;
    std::string hv;
    std::string mode;
    std::string p1;   // alpha channel value
    std::string p2;   // beta channel value
    std::string time; // elapsed counting time
    std::string preset_time;
    _calibration calibration; // the parameter set the row was measured with
    std::string activity_l;
    std::string u_activity_l;
    std::string activity_b;
    std::string u_activity_b;
    _background background;
    std::string quantity;
    std::string units;
    std::string MDA_a;
    std::string MDA_b;
    std::string koef_k;
    std::string text_act_a;
    std::string text_act_b;
    bool operator==(const _r_results&) const = default;
};

// The run table of the run window: rows fill a prefix, and the first slot with an empty sample ID
// ends them. The engine never fills the last slot, so it always stays free as that end mark: the
// table holds the longest series plus one.
inline constexpr std::size_t run_table_size = static_cast<std::size_t>(max_series_total) + 1;
using run_table = std::array<_r_results, run_table_size>;

} // namespace xkv
