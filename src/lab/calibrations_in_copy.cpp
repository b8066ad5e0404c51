#include "lab/calibrations_in_copy.h"

#include "lab/calibration_records.h"

namespace xkv {

void calibrations_in_copy::read(results_store& source) { of_results_ = calibrations_of_results(source); }

void calibrations_in_copy::write(results_store& target, std::int64_t source_id, std::int64_t target_id) {
    const auto found = of_results_.find(source_id);
    if (found == of_results_.end()) return;
    std::vector<calibration_record> in_target;
    for (calibration_record rec : found->second) {
        auto known = in_target_.find(rec.id);
        if (known == in_target_.end()) known = in_target_.emplace(rec.id, carried_calibration_id(target, rec)).first;
        rec.id = known->second;
        in_target.push_back(std::move(rec));
    }
    record_calibrations_of_result(target, target_id, in_target);
}

} // namespace xkv
