#pragma once
// The one set of rules by which the program turns value texts into numbers and numbers into text.
// Nothing here depends on the C locale: a comma locale reads and writes exactly as the "C" one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace xkv {

// The process-wide decimal separator. The program fixes it to "." at start-up and never changes it.
inline constexpr char decimal_separator = '.';

// The text without leading and trailing bytes 0 to 32: blanks, line breaks and other control characters.
std::string_view trim_control(std::string_view text);

// Only the digits and the first "." (a "," counts as "."): "1,5 kBq" gives "1.5", "-5" gives "5".
std::string clean_number(std::string_view text);

// Every "." and "," becomes the decimal separator; nothing else changes.
std::string to_local_decimal(std::string_view text);

// Decimal floating-point text: blanks, sign, digits, fraction, exponent, blanks.
// Throws conversion_error "'%s' is not a valid floating point value".
double parse_float(std::string_view text);

// Sets `name` to the mode's name for codes 1..6; leaves it as it was for any other code.
void mode_name(std::int32_t code, std::string& name);

// The number made of the text's digits ("1.5" gives 15, "abc" gives 0).
// Throws conversion_error "'%s' is not a valid integer value" above 2147483647.
std::int64_t digits_to_int(std::string_view text);

// The decimal digits of a count.
std::string decimal(std::size_t n);

// General number format: at most 15 significant digits, no trailing zeros; fixed notation for
// 0.00001 <= |x| < 1E15, otherwise "1E-6" / "1.5E20" style.
std::string format_general(double value);

} // namespace xkv
