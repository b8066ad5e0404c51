#include "results/viewer_sort.h"

#include <charconv>
#include <cmath>
#include <optional>

namespace xkv {

namespace {

enum class cell_kind {
    empty,
    number,
    date,
    text
};

std::optional<double> number_of(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt; // "nan" has no order
    return value;
}

// "yyyy-MM-dd" or "yyyy-MM-dd hh:mm:ss": digits where the pattern has them, its separators elsewhere.
bool is_time_stamp(std::string_view text) {
    constexpr std::string_view pattern = "dddd-dd-dd dd:dd:dd";
    if (text.size() != 10 && text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (pattern[i] == 'd' ? !digit : text[i] != pattern[i]) return false;
    }
    return true;
}

cell_kind kind_of(std::string_view text) {
    if (text.empty()) return cell_kind::empty;
    if (number_of(text)) return cell_kind::number;
    if (is_time_stamp(text)) return cell_kind::date;
    return cell_kind::text;
}

} // namespace

bool viewer_cell_less(std::string_view a, std::string_view b) {
    const cell_kind ka = kind_of(a), kb = kind_of(b);
    if (ka != kb) return ka < kb;
    // A time stamp's fields run from the largest unit down, so its text order is its time order.
    if (ka == cell_kind::number) return *number_of(a) < *number_of(b);
    return a < b;
}

text_table rows_in_order(const text_table& listing, const std::vector<std::size_t>& order) {
    text_table shown;
    if (listing.empty()) return shown;
    std::vector<std::string_view> cells;
    listing.row_views(0, cells);
    shown.add_row(cells);
    for (const std::size_t r : order) {
        listing.row_views(r + 1, cells);
        shown.add_row(cells);
    }
    return shown;
}

} // namespace xkv
