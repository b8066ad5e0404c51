#include "app/session.h"

#include "lab/lab_store.h"
#include "lab/qc_chart.h"
#include "results/report_sources_of.h"
#include "settings/program_dir.h"

#include <filesystem>

namespace xkv {

std::string session::database_path() const { return resolve_program_path(program_dir, options.database); }

report_sources session::report_sources_for(const cur_measurment& setup) const {
    return report_sources_of(program_dir, options, profile, setup);
}

std::vector<named_chart> session::qc_charts() const {
    const std::string path = database_path();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return {}; // asking creates no database
    return xkv::qc_charts(lab_store(path).qc_records());
}

} // namespace xkv
