#include "lab/calibration_record.h"

namespace xkv {

namespace {

constexpr std::array<std::string_view, calibration_kind_count> kind_names = {
    "alpha efficiency", "beta efficiency", "crosstalk alpha to beta", "crosstalk beta to alpha"};

} // namespace

std::string_view kind_name(calibration_kind kind) { return kind_names[static_cast<std::size_t>(kind)]; }

std::optional<calibration_kind> kind_of(std::string_view name) {
    for (std::size_t i = 0; i < kind_names.size(); ++i)
        if (kind_names[i] == name) return static_cast<calibration_kind>(i);
    return std::nullopt;
}

} // namespace xkv
