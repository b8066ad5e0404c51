#pragma once
// The background's counting time must be positive: what the operator leaves at zero or below
// becomes "1".

#include <string>
#include <string_view>

namespace xkv {

// `text` as it stands when its number is above zero, else "1". Text that is no number throws
// conversion_error and the field keeps what was typed.
std::string checked_background_time(std::string_view text);

} // namespace xkv
