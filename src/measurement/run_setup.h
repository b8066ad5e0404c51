#pragma once
// What a run takes from the setup dialog, as the operator typed it. The run converts the numbers
// when it opens; the preset time also goes to the instrument unchanged.

#include <string>
#include <vector>

namespace xkv {

struct run_setup {
    std::string set_name; // section of the chosen parameter set
    std::string sample_id;
    std::string description;
    std::string count = "1"; // measurements in the series
    std::string preset_time; // seconds
    std::string quantity;
    std::string units;
    bool operator==(const run_setup&) const = default;
};

// A series holds at most this many measurements; the run table (r_results.h) is sized from it.
inline constexpr int max_series_total = 100;

inline constexpr const char* quantity_zero_message = "CAN NOT SET quantity to 0";
inline constexpr const char* preset_time_zero_message = "CAN NOT SET preset time to 0";
inline constexpr const char* count_too_large_message = "CAN NOT SET count above 100";
inline constexpr const char* count_zero_message = "CAN NOT SET count to 0";
inline constexpr const char* no_sample_id_message = "No sample ID entered !!!";

// Why a run cannot start with this setup, in the order the messages are shown; empty when it can.
// Quantity and preset time must be numbers greater than 0, the count a number of 1 to 100 (read
// like the preset time: tested as a number, counted by its digits), the sample ID given
// (an empty one would mark its rows as free slots). Throws conversion_error for a preset time or
// quantity or count that is not a number, and for a preset time or count too large to count.
std::vector<std::string> run_setup_refusals(const run_setup& setup);

} // namespace xkv
