#include "measurement/run_window_rules.h"

#include <algorithm>
#include <limits>

namespace xkv {

run_buttons buttons_after_report(button_set current, bool template_error) {
    run_buttons b = buttons_of(current);
    if (template_error) b.print_report = false;
    return b;
}

gauge_values gauge_of(std::int64_t value, std::int64_t maximum) {
    constexpr std::int64_t int_max = std::numeric_limits<int>::max();
    const std::int64_t m = std::clamp<std::int64_t>(maximum, 1, int_max);
    return {static_cast<int>(std::clamp<std::int64_t>(value, 0, m)), static_cast<int>(m)};
}

title_bar_close title_bar_close_of(run_state state, button_set buttons) {
    if (state == run_state::closed) return title_bar_close::close;
    if (buttons_of(buttons).close) return title_bar_close::as_close_button;
    return title_bar_close::refuse;
}

} // namespace xkv
