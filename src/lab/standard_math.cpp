#include "lab/standard_math.h"

#include <charconv>
#include <cmath>

namespace xkv {

namespace {

bool digits(std::string_view text, int& value) {
    if (text.empty()) return false;
    for (char ch : text)
        if (ch < '0' || ch > '9') return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc{};
}

} // namespace

std::optional<long> civil_day(std::string_view date) {
    int y = 0, m = 0, d = 0;
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || !digits(date.substr(0, 4), y) ||
        !digits(date.substr(5, 2), m) || !digits(date.substr(8, 2), d))
        return std::nullopt;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    constexpr int month_days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m < 1 || m > 12 || d < 1 || d > month_days[m - 1] + (m == 2 && leap)) return std::nullopt;
    // Days from civil (proleptic Gregorian), counted from 1970-01-01.
    const long yy = y - (m <= 2);
    const long era = yy / 400;
    const long yoe = yy - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

efficiency_value efficiency_of(const net_rate& n, double reference_activity, double u_reference_activity, double days,
                               double half_life_years) {
    efficiency_value e;
    e.activity = decayed_activity(reference_activity, days, half_life_years);
    e.value = n.value / e.activity;
    const double u_ref = u_reference_activity / reference_activity;
    const double u_n = n.uncertainty / n.value;
    e.u_rel = std::sqrt(u_n * u_n + u_ref * u_ref);
    return e;
}

factor_value crosstalk_of(const net_rate& spilled, const net_rate& source) {
    factor_value f;
    f.value = spilled.value / source.value;
    const double u_spilled = spilled.uncertainty / spilled.value, u_source = source.uncertainty / source.value;
    f.u = std::abs(f.value) * std::sqrt(u_spilled * u_spilled + u_source * u_source);
    return f;
}

} // namespace xkv
