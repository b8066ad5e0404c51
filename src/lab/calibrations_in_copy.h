#pragma once
// A copied result keeps its trace: the calibration records it was saved under go with it to the
// target (found there by their content, or added), and the new row is linked to them.

#include "lab/calibration_record.h"
#include "results/store_copy.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace xkv {

class calibrations_in_copy final : public copy_companion {
public:
    void read(results_store& source) override;
    void write(results_store& target, std::int64_t source_id, std::int64_t target_id) override;

private:
    std::map<std::int64_t, std::vector<calibration_record>> of_results_; // by source result id
    std::map<std::string, std::string> in_target_;                       // source record id -> target's
};

} // namespace xkv
