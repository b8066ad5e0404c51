#include "app/session.h"

#include "results/report_sources_of.h"
#include "settings/program_dir.h"

namespace xkv {

std::string session::database_path() const { return resolve_program_path(program_dir, options.database); }

report_sources session::report_sources_for(const cur_measurment& setup) const {
    return report_sources_of(program_dir, options, profile, setup);
}

} // namespace xkv
