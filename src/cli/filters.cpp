#include "cli/filters.h"

#include <charconv>

namespace xkv::cli {

namespace {

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

calendar_date parse_date(std::string_view option, const std::string& text) {
    calendar_date d;
    const char* p = text.data();
    const char* end = p + text.size();
    auto number = [&](int& value, std::size_t digits) {
        auto [next, ec] = std::from_chars(p, end, value);
        const bool ok = ec == std::errc{} && static_cast<std::size_t>(next - p) == digits;
        p = next;
        return ok;
    };
    const bool ok = text.size() == 10 && number(d.year, 4) && p < end && *p++ == '-' && number(d.month, 2) && p < end &&
                    *p++ == '-' && number(d.day, 2) && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
                    d.day <= days_in_month(d.year, d.month);
    if (!ok) throw usage_error("--" + std::string(option) + " takes a date as YYYY-MM-DD, not '" + text + "'");
    return d;
}

} // namespace

std::string filter_usage(const filter_option& filter) {
    return "--" + std::string(filter.name) + " " + std::string(filter.value);
}

std::set<std::string> filter_option_names() {
    std::set<std::string> names;
    for (const filter_option& filter : filter_options) names.emplace(filter.name);
    return names;
}

bound_statement listing_select(const command_line& line) {
    bool any = false;
    viewer_filter f;
    for (const filter_option& filter : filter_options) {
        const std::string* v = line.value(std::string(filter.name));
        if (!v) continue;
        any = true;
        if (filter.date)
            f.*filter.date = parse_date(filter.name, *v);
        else
            f.*filter.text = *v;
    }
    if (!any) return base_select();
    clean_bounds(f);
    return filtered_select(f);
}

} // namespace xkv::cli
