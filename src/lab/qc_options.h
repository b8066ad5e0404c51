#pragma once
// The "QC" keys of the program options file, read only: the check source's tolerance in percent
// ("tolerance_percent", default 5), how old the last checks may be ("max_age_hours", default 24),
// and whether a run may start while QC is not current ("block=1" refuses it). A key that holds no
// number above 0 gives its default.

#include "lab/qc_rules.h"

#include <string>

namespace xkv {

struct qc_options {
    double tolerance_percent = default_qc_tolerance_percent;
    double max_age_hours = default_qc_max_age_hours;
    bool block = false;
};

qc_options read_qc_options(const std::string& program_options_path);

} // namespace xkv
