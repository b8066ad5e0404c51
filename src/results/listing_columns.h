#pragma once
// What the listing's columns hold, for writers that keep numbers as numbers and dates as dates,
// and for the chart, which plots the numeric ones.

#include "results/result_columns.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace xkv {

// Kind of listing column `column`: the viewer's columns have theirs in results_columns(); the
// columns past them are the limit columns.
listing_kind listing_column_kind(std::size_t column);

// A whole-text decimal number ("12", "-1.5E-3"), else nothing.
std::optional<double> number_of(std::string_view text);

// Seconds since 1970-01-01 00:00:00 of a "YYYY-MM-DD HH:MM:SS" time stamp, else nothing.
std::optional<long long> timestamp_seconds(std::string_view text);

} // namespace xkv
