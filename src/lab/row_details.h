#pragma once
// The details of one listed row: per channel the lab values as `list --lab` lists them, and the
// calibrations the row was saved under (or that it has no records and uses the set's keys as they
// are now), with its QC mark.

#include "lab/calibration_record.h"
#include "results/row_extras.h"

#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// `lab` holds the lab cells in lab_cells order (nine per channel, calibrations, QC mark).
row_details lab_row_details(const std::vector<std::string>& lab, const std::vector<calibration_record>& records);

// "alpha efficiency v2 of Soil: 0.3 (u 0.02), Am-241, measured 2026-12-08 10:00:00 by ann at lab1 on <counter>".
std::string calibration_line(const calibration_record& record);

} // namespace xkv
