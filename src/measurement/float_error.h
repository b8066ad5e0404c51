#pragma once
// A computation that would divide by zero, take the root of a negative number or overflow. Such a
// result is never stored as "INF" or "NAN": the operation stops with this error instead.

#include <cmath>
#include <stdexcept>
#include <string>

namespace xkv {

class float_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `divisor` must not be zero; `what` names it for the operator ("the alpha efficiency").
inline double checked_divide(double dividend, double divisor, const std::string& what) {
    if (divisor == 0) throw float_error("Floating point division by zero: " + what + " is 0");
    return dividend / divisor;
}

inline double checked_sqrt(double value, const std::string& what) {
    if (value < 0) throw float_error("Invalid floating point operation: square root of a negative number in " + what);
    return std::sqrt(value);
}

// Overflow or anything else that is not a finite number.
inline double checked_finite(double value, const std::string& what) {
    if (!std::isfinite(value)) throw float_error("Floating point overflow in " + what);
    return value;
}

} // namespace xkv
