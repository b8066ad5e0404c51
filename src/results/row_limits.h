#pragma once
// The characteristic limits of a result row's two channels, computed from what the row stores:
// the listing columns, the extra columns that listings and exports append, and the report's values.

#include "measurement/r_results.h"
#include "results/iso11929.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// One channel of a row, as stored.
struct stored_channel {
    std::string_view value; // p1 or p2: counts in counter modes, else a rate
    std::string_view time;  // counting time, seconds
    std::string_view efficiency;
    std::string_view efficiency_u; // taken as relative, as the uncertainty formula takes it
    std::string_view background;   // a rate
    std::string_view background_time;
    std::string_view quantity;
    std::string_view koef_k;
    std::string_view mode;
    bool background_correction = false;
};

// The counting inputs of a channel; none when a stored text is no number or the factor is not finite.
std::optional<counting_inputs> counting_inputs_of(const stored_channel& channel);

// Alpha, then beta. The listing row is the viewer's 32 columns in their order.
std::array<stored_channel, 2> channels_of_listing_row(const std::vector<std::string_view>& cells);
std::array<stored_channel, 2> channels_of_row(const _r_results& row);

// Columns appended to listings: threshold, limit and mark for alpha, then for beta.
inline constexpr std::size_t limits_column_count = 6;
extern const std::array<std::string_view, limits_column_count> limits_headers;
inline constexpr std::string_view not_detected_text = "not detected";
// Numbers in the general format; empty where a channel has no limits (or no detection limit);
// the mark is "not detected" for a result at or below its threshold, else empty.
std::array<std::string, limits_column_count> limits_cells(const std::array<stored_channel, 2>& channels, double k);

} // namespace xkv
