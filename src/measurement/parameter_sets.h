#pragma once
// Measurement parameter sets in the calibration file: one INI section per set, listed in file order.

#include "measurement/calibration.h"

#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// The calibration file, relative to the program directory.
inline constexpr const char* calibration_file = "/ini/calibrations.cfg";

// Every key of the section with its default; an absent file or section gives the defaults with
// `name` set to the section.
_calibration load_parameter_set(const std::string& path, std::string_view section);

// Writes the nineteen keys in their fixed order; "name" repeats the section. Saving under an existing
// section replaces its values. Throws write_error at the first key that cannot be written.
void save_parameter_set(const std::string& path, std::string_view section, const _calibration& set);

// Section names in file order.
std::vector<std::string> parameter_set_names(const std::string& path);

// K = C x D x E, each factor taken as 1/X when its flag says so; B is not part of K.
// Throws conversion_error for a factor that is not a number (also an empty one) and float_error for a
// zero used as 1/X.
double set_factor_k(const _calibration& set);

// "K = " followed by K in the general number format.
std::string k_label(double k);

} // namespace xkv
