#pragma once
// Where a report takes its template, counter and creator from: the same for a run's report and the
// viewer's, so both windows ask here.

#include "measurement/cur_measurment.h"
#include "results/report_output.h"
#include "settings/options.h"
#include "settings/program_options.h"

#include <string>

namespace xkv {

// The template named in the program options (resolved against `program_dir`), the counter in the
// default profile file, the profile's creator, the given run setup and the limits' k.
report_sources report_sources_of(const std::string& program_dir, const _program_options& options,
                                 const _options& profile, const cur_measurment& setup, double limits_k);

} // namespace xkv
