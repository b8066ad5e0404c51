#pragma once
// The run window's rules beside the engine: its buttons around PRINT REPORT, its gauges, and what
// closing it from the title bar or with Escape means.

#include "measurement/run_engine.h"

#include <cstdint>

namespace xkv {

// While a report is made every button is off. Afterwards the buttons of the run's state come back,
// never more: START stays off after a communication failure, so the kept rows cannot be cleared
// by it, and STOP and ABORT stay off while nothing counts. A template that fails its checks leaves
// PRINT REPORT off.
run_buttons buttons_after_report(button_set current, bool template_error);

// A gauge as the widget takes it: int range, maximum at least 1, value within 0..maximum.
struct gauge_values {
    int value = 0;
    int maximum = 1;
    bool operator==(const gauge_values&) const = default;
};
gauge_values gauge_of(std::int64_t value, std::int64_t maximum);

// Closing from the title bar: a closed run just goes; where CLOSE is offered it means CLOSE, with
// its question; otherwise (preparing, counting) it is refused, so a count is ended by STOP or ABORT.
enum class title_bar_close {
    close,
    as_close_button,
    refuse
};
title_bar_close title_bar_close_of(run_state state, button_set buttons);

} // namespace xkv
