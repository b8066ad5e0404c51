#include "app/background_time.h"

#include "settings/value_text.h"

namespace xkv {

std::string checked_background_time(std::string_view text) {
    return parse_float(text) <= 0 ? std::string("1") : std::string(text);
}

} // namespace xkv
