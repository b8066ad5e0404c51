#pragma once
// A counter QC check as it is stored: a background or check-source count, per channel the value
// judged (background rate or efficiency), what was expected, the control limits in force and the
// verdict; never changed once stored.

#include "lab/lab_record.h"
#include "lab/qc_rules.h"

#include <array>
#include <string>
#include <vector>

namespace xkv {

inline constexpr const char* qc_kind_background = "background";
inline constexpr const char* qc_kind_source = "source";

struct qc_channel {
    bool judged = false; // a source check may judge one channel only
    double counts = 0;
    double rate = 0;     // N / t
    double value = 0;    // background: the rate; source: the efficiency
    double u_value = 0;  // its Poisson standard deviation
    double expected = 0; // the profile's background rate or the set's efficiency
    bool limits = false; // control limits were in force
    double mean = 0, sigma = 0;
    qc_verdict verdict = qc_verdict::pass;
};

struct qc_record {
    std::string id; // given by the store
    std::string kind;
    record_origin origin;
    std::string set_name;
    std::string source;  // check source label; empty for a background
    double activity = 0; // the source's decay-corrected activity at the measurement
    double seconds = 0;
    std::array<qc_channel, 2> channels;    // alpha, beta
    qc_verdict verdict = qc_verdict::pass; // the worst judged channel
    std::string note;                      // how the verdict came about, in words
};

// What a QC count gives the rules.
struct qc_count {
    std::string kind;
    std::array<double, 2> counts{}; // gross counts over `seconds`
    double seconds = 1;
    std::array<std::vector<double>, 2> series; // the counts of each measurement of a series (chi-square)
    // Background of the profile (rates per second over its time); for a source check applied only
    // when the set corrects for background, as the calibration does.
    std::array<double, 2> background{};
    double background_seconds = 1;
    bool background_correction = true;
    double activity = 0;                      // source: decay-corrected
    std::array<double, 2> efficiency{};       // source: the set's
    std::array<bool, 2> channels{true, true}; // which channels a source check judges
    double tolerance_percent = default_qc_tolerance_percent;
};

// Judges a count against the rules and against the control limits of `history` (the stored
// records, oldest first; only those of the same counter, kind and source, not failed, count).
// Fills everything but id and origin.
qc_record judge_qc(const qc_count& count, const std::vector<qc_record>& history, const std::string& counter,
                   const std::string& source);

// The last record of a kind for a counter; none without one.
const qc_record* last_qc(const std::vector<qc_record>& records, const std::string& counter, const std::string& kind);

// QC current for a counter at `now` (seconds since 1970, UTC).
bool qc_current_for(const std::vector<qc_record>& records, const std::string& counter, std::int64_t now,
                    double max_age_hours);

// The counter whose QC a station's results fall under: that of the station's newest record.
std::string station_counter(const std::vector<qc_record>& records, const std::string& station);

} // namespace xkv
