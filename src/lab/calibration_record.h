#pragma once
// One calibration of a parameter set: what was measured, what came out, and when, by whom, where
// and on which counter. Records are never changed; a new calibration of the same set and kind is
// the next version. Numbers are kept as the texts they were computed or entered as.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace xkv {

enum class calibration_kind {
    alpha_efficiency,
    beta_efficiency,
    alpha_to_beta, // chi: alpha counts seen in the beta channel
    beta_to_alpha, // delta
};
inline constexpr std::size_t calibration_kind_count = 4;

// "alpha efficiency", "beta efficiency", "crosstalk alpha to beta", "crosstalk beta to alpha".
std::string_view kind_name(calibration_kind kind);
std::optional<calibration_kind> kind_of(std::string_view name);

struct calibration_record {
    std::string id; // given by the store
    std::string set_name;
    calibration_kind kind = calibration_kind::alpha_efficiency;
    std::string version; // 1, 2, ... per set and kind, given by the store
    std::string value;   // efficiency, or crosstalk factor
    std::string u;       // relative for an efficiency, standard for a crosstalk factor
    // The inputs. Counts are "N", or "N_alpha,N_beta" for crosstalk.
    std::string nuclide, activity, u_activity, reference_date, half_life_years;
    std::string counts, counting_time, background_rate, background_time;
    std::string measured_at; // YYYY-MM-DD HH:MM:SS, UTC
    std::string user_name, station, counter;
    bool applied = false; // written into the set's keys when it was made
};

} // namespace xkv
