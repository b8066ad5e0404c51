#pragma once
// Which calibrations each saved result was measured under, written by SAVE in its own transaction
// (table result_calibrations, keyed by the result's id), so that a later calibration never changes
// how an earlier result is read.

#include "results/save_results.h"

#include <string>
#include <vector>

namespace xkv {

// The hook for a SAVE of rows measured with the sets of the calibration file at `calibration_path`.
std::vector<save_hook> calibration_hooks(const std::string& calibration_path);

} // namespace xkv
