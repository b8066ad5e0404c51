#include "results/report_sources_of.h"

#include "results/iso11929.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

namespace xkv {

report_sources report_sources_of(const std::string& program_dir, const _program_options& options,
                                 const _options& profile, const cur_measurment& setup) {
    return {resolve_program_path(program_dir, options.name), program_dir + default_profile_file, profile.creator, setup,
            read_limits_k(program_dir + program_options_file)};
}

} // namespace xkv
