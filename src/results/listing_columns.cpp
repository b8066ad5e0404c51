#include "results/listing_columns.h"

#include "results/row_limits.h"
#include "results/viewer_query.h"

#include <charconv>

namespace xkv {

listing_kind listing_column_kind(std::size_t column) {
    if (column >= viewer_column_count) {
        const std::size_t extra = column - viewer_column_count;
        return extra < limits_column_count && extra % 3 != 2 ? listing_kind::number : listing_kind::text;
    }
    return results_columns()[column].kind;
}

std::optional<double> number_of(std::string_view text) {
    if (text.empty() || text.front() == '+') return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<long long> timestamp_seconds(std::string_view t) {
    if (t.size() < 19 || t[4] != '-' || t[7] != '-' || t[10] != ' ' || t[13] != ':' || t[16] != ':')
        return std::nullopt;
    const auto field = [&t](std::size_t at, std::size_t digits, int& value) {
        const auto [end, ec] = std::from_chars(t.data() + at, t.data() + at + digits, value);
        return ec == std::errc{} && end == t.data() + at + digits;
    };
    int y, m, d, hh, mm, ss;
    if (!field(0, 4, y) || !field(5, 2, m) || !field(8, 2, d) || !field(11, 2, hh) || !field(14, 2, mm) ||
        !field(17, 2, ss) || m < 1 || m > 12 || d < 1 || d > 31)
        return std::nullopt;
    // Days from the civil date (proleptic Gregorian), counted from 1970-01-01.
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153LL * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = era * 146097 + doe - 719468;
    return days * 86400 + hh * 3600LL + mm * 60LL + ss;
}

} // namespace xkv
