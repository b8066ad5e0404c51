#include "lab/calibrations_at_save.h"

#include "lab/calibration_records.h"
#include "lab/crosstalk_keys.h"

#include <map>
#include <memory>

namespace xkv {

std::vector<save_hook> calibration_hooks(const std::string& calibration_path) {
    // The set's crosstalk keys are read once per SAVE and set, not once per row.
    auto read_keys = std::make_shared<std::map<std::string, crosstalk_factors, std::less<>>>();
    return {[calibration_path, read_keys](results_store& store, const saved_row& row) {
        // A store without calibration records has none in force.
        if (!store.has_table("calibrations")) return;
        const _calibration& set = row.row.calibration;
        auto keys = read_keys->find(set.name);
        if (keys == read_keys->end())
            keys = read_keys->emplace(set.name, read_set_crosstalk(calibration_path, set.name)).first;
        const auto in_force = calibrations_in_force(store, set, keys->second);
        if (in_force.empty()) return;
        ensure_calibration_tables(store);
        record_calibrations_of_result(store, row.id, in_force);
    }};
}

} // namespace xkv
