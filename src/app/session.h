#pragma once
// The program's shared state for as long as it runs: its directory, the current profile and
// program options, the hidden log, and where results and reports go. The main window owns one and
// hands it to the windows that read it.

#include "link/diagnostic_log.h"
#include "measurement/cur_measurment.h"
#include "results/chart_stats.h"
#include "results/report_output.h"
#include "settings/options.h"
#include "settings/program_options.h"

#include <string>
#include <vector>

namespace xkv {

struct session {
    std::string program_dir;
    _options profile;
    _program_options options;
    diagnostic_log log;

    // <program dir> + a fixed name such as default_profile_file.
    std::string file(const char* fixed) const { return program_dir + fixed; }
    // The program options' database, resolved against the program directory.
    std::string database_path() const;
    // A report's template, counter and creator, with the given run setup at its head.
    report_sources report_sources_for(const cur_measurment& setup) const;
    // The control charts of the store's QC records, for the chart window beside the listing's columns.
    std::vector<named_chart> qc_charts() const;
};

} // namespace xkv
