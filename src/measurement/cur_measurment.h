#pragma once
// The setup of the current run, filled when the run opens; only series_number changes during it.

#include "measurement/calibration.h"
#include "settings/options.h"

#include <cstdint>
#include <string>

namespace xkv {

struct cur_measurment {
    _options profile;             // copy of the current instrument profile
    _calibration calibration;     // the chosen parameter set
    std::int32_t preset_time = 0; // seconds, from the digits of the setup's preset time
    std::string sample_id;
    std::string description;
    std::int32_t series_total = 1;
    std::int32_t series_number = 1; // 1-based number of the running measurement
    double quantity = 0;
    std::string units;
    double koef_k = 0; // set factor K
};

} // namespace xkv
