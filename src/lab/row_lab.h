#pragma once
// The lab result of a stored row's two channels, with the rates, times and factors exactly as the
// characteristic limits take them from the row, and the crosstalk in force for it.

#include "lab/lab_result.h"
#include "results/row_limits.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace xkv {

// Alpha, then beta; none for a channel whose stored texts are no numbers (nor, with crosstalk, the
// other channel's).
std::array<std::optional<lab_channel_result>, 2> row_lab_results(const std::array<stored_channel, 2>& channels,
                                                                 const crosstalk_factors& crosstalk, double k,
                                                                 double gamma);

// Per channel y, u(y), y*, y#, y^, u(y^), lower, upper, detected; then the calibrations used and
// the QC mark of a row saved while QC was not current.
inline constexpr std::size_t lab_channel_column_count = 9;
inline constexpr std::size_t lab_column_count = 2 * lab_channel_column_count + 2;
extern const std::array<std::string_view, lab_column_count> lab_headers;
// What the calibrations column says of a row saved without records of its calibrations.
inline constexpr std::string_view set_keys_text = "no records: the set's keys as they are now";
inline constexpr std::string_view detected_text = "detected";

// The six limit cells (as the limits columns show them) and the lab cells, `calibrations` and
// `qc_mark` last.
std::array<std::string, limits_column_count>
lab_limits_cells(const std::array<std::optional<lab_channel_result>, 2>& results);
std::array<std::string, lab_column_count> lab_cells(const std::array<std::optional<lab_channel_result>, 2>& results,
                                                    std::string_view calibrations, std::string_view qc_mark);

} // namespace xkv
