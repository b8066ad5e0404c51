#pragma once
// Keeping a calibration: the record stamped with when, who, where and which counter, stored as the
// next version of its set and kind, and applied to the set's keys when asked; and the history as
// the CLI lists it and the calibration window shows it.

#include "lab/calibration_record.h"
#include "results/results_store.h"

#include <string>
#include <vector>

namespace xkv {

// Stamps and stores the record, marked as applied when `apply`; returns it with its id and version.
calibration_record store_calibration(results_store& store, calibration_record record, const std::string& counter,
                                     bool apply);
// One column per field of a record, "set" to "applied".
extern const std::vector<std::string> calibration_history_headers;
std::vector<std::string> calibration_history_cells(const calibration_record& record);

} // namespace xkv
