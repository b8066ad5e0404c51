#include "measurement/run_setup.h"

#include "settings/value_text.h"

namespace xkv {

std::vector<std::string> run_setup_refusals(const run_setup& setup) {
    const double preset = parse_float(setup.preset_time);
    const double quantity = parse_float(setup.quantity);
    std::vector<std::string> messages;
    if (quantity <= 0) messages.push_back(quantity_zero_message);
    if (preset <= 0) messages.push_back(preset_time_zero_message);
    // The run counts the whole number made of the digits; one too large fails here, before the
    // instrument is set up.
    digits_to_int(setup.preset_time);
    const double count_number = parse_float(setup.count);
    const std::int64_t count = digits_to_int(setup.count);
    if (count > max_series_total) messages.push_back(count_too_large_message);
    if (count_number <= 0 || count < 1) messages.push_back(count_zero_message);
    if (setup.sample_id.empty()) messages.push_back(no_sample_id_message);
    return messages;
}

} // namespace xkv
