#pragma once
// Control charts of the QC records: per counter, kind (and check source) and channel, the judged
// value against the date with the control limits in force at the newest record (before 20
// accepted records: the mean and deviation of those plotted); failed checks are marked.

#include "lab/qc_record.h"
#include "results/chart_stats.h"

#include <vector>

namespace xkv {

std::vector<named_chart> qc_charts(const std::vector<qc_record>& records);

} // namespace xkv
