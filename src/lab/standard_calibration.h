#pragma once
// A calibration from the counts of a standard: the efficiency of one channel from a certified
// source, or the crosstalk between the channels from a pure alpha or beta source; the record it
// makes, and the set's keys it is applied to.

#include "lab/calibration_record.h"
#include "measurement/r_results.h"

#include <array>
#include <stdexcept>
#include <string>

namespace xkv {

// Inputs that cannot make a calibration; the text says which.
class calibration_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Counts of both channels over one counting time, with the background each is corrected by.
struct standard_counts {
    std::array<double, 2> counts{};          // alpha, beta
    double time = 1;                         // seconds
    std::array<double, 2> background_rate{}; // r0; 0 where the set has no background correction
    double background_time = 1;
};

// What a run's row counted: counts in the counter modes, rate x time in the ratemeter modes, and
// the profile's background as the activity computation takes it. Throws conversion_error.
standard_counts counts_of_row(const _r_results& row);

struct certified_source {
    std::string nuclide;
    double activity = 0;        // A0, Bq, on the reference date
    double u_activity = 0;      // its standard uncertainty
    std::string reference_date; // YYYY-MM-DD
    double half_life_years = 0;
};

// Channel 0 is alpha, 1 beta. `measured_date` is YYYY-MM-DD. The record has everything but its
// id, version and who, where and which counter. Throws calibration_error.
calibration_record efficiency_calibration(const std::string& set_name, int channel, const certified_source& source,
                                          const standard_counts& counts, const std::string& measured_date);
// From a pure source in channel `source_channel`: chi (alpha source) or delta (beta source).
calibration_record crosstalk_calibration(const std::string& set_name, int source_channel, const std::string& nuclide,
                                         const standard_counts& counts);

// Writes the record's value and uncertainty into the set's keys: "alpha"/"act_alpha" or
// "beta"/"act_beta" through the parameter set writer, or the crosstalk keys. Throws write_error.
void apply_calibration(const std::string& calibration_path, const calibration_record& record);

} // namespace xkv
