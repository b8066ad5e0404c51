#pragma once
// What the listing's columns hold, for writers that keep numbers as numbers and dates as dates,
// and for the chart, which plots the numeric ones.

#include <cstddef>
#include <optional>
#include <string_view>

namespace xkv {

enum class listing_kind {
    text,
    number,
    date
};

// Kind of listing column `column`; columns past the viewer's 32 are the limit columns.
listing_kind listing_column_kind(std::size_t column);

// A whole-text decimal number ("12", "-1.5E-3"), else nothing.
std::optional<double> number_of(std::string_view text);

// Seconds since 1970-01-01 00:00:00 of a "YYYY-MM-DD HH:MM:SS" time stamp, else nothing.
std::optional<long long> timestamp_seconds(std::string_view text);

} // namespace xkv
