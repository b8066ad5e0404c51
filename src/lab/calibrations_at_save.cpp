#include "lab/calibrations_at_save.h"

#include "lab/calibration_records.h"
#include "lab/crosstalk_keys.h"

namespace xkv {

std::vector<save_hook> calibration_hooks(const std::string& calibration_path) {
    return {[calibration_path](results_store& store, const saved_row& row) {
        // A store without calibration records has none in force.
        if (!store.has_table("calibrations")) return;
        const _calibration& set = row.row.calibration;
        const auto in_force = calibrations_in_force(store, set, read_set_crosstalk(calibration_path, set.name));
        if (in_force.empty()) return;
        ensure_calibration_tables(store);
        record_calibrations_of_result(store, row.id, in_force);
    }};
}

} // namespace xkv
