#pragma once
// The calibration records in their own table beside `results`, and for every saved result the
// calibrations in force when it was saved, keyed by the result's id.

#include "lab/calibration_record.h"
#include "lab/lab_result.h"
#include "measurement/calibration.h"
#include "results/results_store.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace xkv {

// Creates the two tables where they do not exist yet.
void ensure_calibration_tables(results_store& store);

// Stores the record as the next version of its set and kind; returns it with its id and version.
calibration_record add_calibration(results_store& store, calibration_record record);

// The id `store` holds the record under, inside the caller's transaction: a record of the same
// content (set, kind, value, u, when, station, counter), or this one added, under its own version
// where that is free and under the next one where another record holds it.
std::string carried_calibration_id(results_store& store, const calibration_record& record);

// Every version, by set, kind and version; only the named set's when one is given.
std::vector<calibration_record> calibration_history(results_store& store, const std::optional<std::string>& set = {});

// The calibrations a result measured with `set` is saved under: per kind, the last version that
// was applied to the set, as long as the set's keys still hold its numbers (a value typed in the
// editor since is nobody's calibration).
std::vector<calibration_record> calibrations_in_force(results_store& store, const _calibration& set,
                                                      const crosstalk_factors& set_crosstalk);

// Writes which calibrations the result `result_id` was saved under.
void record_calibrations_of_result(results_store& store, std::int64_t result_id,
                                   const std::vector<calibration_record>& in_force);

// The calibrations each result was saved under, by result id; results saved without any are absent.
std::map<std::int64_t, std::vector<calibration_record>> calibrations_of_results(results_store& store);

// The crosstalk factors of the records (0 for a kind without one).
crosstalk_factors crosstalk_of_records(const std::vector<calibration_record>& records);

// "alpha efficiency v2, crosstalk alpha to beta v1"; empty for none.
std::string versions_text(const std::vector<calibration_record>& records);

// The system user, the host name, and now as YYYY-MM-DD HH:MM:SS in UTC.
std::string system_user();
std::string station_name();
std::string utc_now_text();

} // namespace xkv
