#include "results/report_sources_of.h"

#include "settings/program_dir.h"
#include "settings/settings_files.h"

namespace xkv {

report_sources report_sources_of(const std::string& program_dir, const _program_options& options,
                                 const _options& profile, const cur_measurment& setup, double limits_k) {
    return {resolve_program_path(program_dir, options.name), program_dir + default_profile_file, profile.creator, setup,
            limits_k};
}

} // namespace xkv
