#include "lab/calibration_keeping.h"

#include "lab/calibration_records.h"
#include "lab/standard_calibration.h"

namespace xkv {

calibration_record store_calibration(results_store& store, calibration_record rec, const std::string& counter,
                                     bool apply) {
    rec.measured_at = utc_now_text();
    rec.user_name = system_user();
    rec.station = station_name();
    rec.counter = counter;
    rec.applied = apply;
    return add_calibration(store, rec);
}

const std::vector<std::string> calibration_history_headers = {
    "set",     "kind",          "version",         "value",           "u",
    "nuclide", "activity",      "u_activity",      "reference_date",  "half_life_years",
    "counts",  "counting_time", "background_rate", "background_time", "measured_at",
    "user",    "station",       "counter",         "applied"};

std::vector<std::string> calibration_history_cells(const calibration_record& r) {
    return {r.set_name,
            std::string(kind_name(r.kind)),
            r.version,
            r.value,
            r.u,
            r.nuclide,
            r.activity,
            r.u_activity,
            r.reference_date,
            r.half_life_years,
            r.counts,
            r.counting_time,
            r.background_rate,
            r.background_time,
            r.measured_at,
            r.user_name,
            r.station,
            r.counter,
            r.applied ? "yes" : "no"};
}

} // namespace xkv
