#include "settings/value_text.h"

#include "settings/errors.h"
#include "settings/instrument_modes.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace xkv {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void fail_float(std::string_view text) {
    throw conversion_error("'" + std::string(text) + "' is not a valid floating point value");
}

} // namespace

std::string_view trim_control(std::string_view text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string clean_number(std::string_view text) {
    std::string out;
    bool point_seen = false;
    for (char c : text) {
        if (c == ',') c = '.';
        if (is_digit(c)) {
            out += c;
        } else if (c == '.') {
            if (!point_seen) out += c;
            point_seen = true;
        }
    }
    return out;
}

std::string to_local_decimal(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '.' || c == ',') c = decimal_separator;
    return out;
}

double parse_float(std::string_view original) {
    std::string text(original);
    for (char& c : text)
        if (c == '.') c = decimal_separator;

    // Check the whole shape first, so that "inf", "nan", hex or trailing junk never get through.
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] == ' ') ++i;
    std::string number;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') number += '-';
        ++i;
    }
    int int_digits = 0, leading_fraction_zeros = 0, digits = 0;
    bool significant = false;
    while (i < n && is_digit(text[i])) {
        if (text[i] != '0') significant = true;
        if (significant) ++int_digits;
        number += text[i++];
        ++digits;
    }
    if (i < n && text[i] == decimal_separator) {
        number += '.';
        ++i;
        while (i < n && is_digit(text[i])) {
            if (text[i] != '0') significant = true;
            if (!significant) ++leading_fraction_zeros;
            number += text[i++];
            ++digits;
        }
    }
    if (digits == 0) fail_float(text);
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        number += 'e';
        ++i;
        bool negative = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negative = text[i] == '-';
            number += text[i++];
        }
        const std::size_t start = i;
        while (i < n && is_digit(text[i])) {
            if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
            number += text[i++];
        }
        if (i == start) fail_float(text);
        if (negative) exponent = -exponent;
    }
    while (i < n && text[i] == ' ') ++i;
    if (i != n) fail_float(text);

    double value = 0;
    auto [p, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large is not a value.
        const long magnitude = exponent + (int_digits > 0 ? int_digits : -leading_fraction_zeros);
        if (magnitude > 0) fail_float(text);
        return number.front() == '-' ? -0.0 : 0.0;
    }
    if (ec != std::errc{} || p != number.data() + number.size()) fail_float(text);
    return value;
}

std::string decimal(std::size_t n) {
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, n).ptr);
}

void mode_name(std::int32_t code, std::string& name) {
    if (const instrument_mode* mode = find_mode(code)) name = mode->name;
}

std::int64_t digits_to_int(std::string_view text) {
    std::string digits;
    for (char c : text)
        if (is_digit(c)) digits += c;
    if (digits.empty()) return 0;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) return 0;
    const std::string_view significant = std::string_view(digits).substr(first);
    std::int64_t value = 0;
    if (significant.size() <= 10) std::from_chars(significant.data(), significant.data() + significant.size(), value);
    if (significant.size() > 10 || value > std::numeric_limits<std::int32_t>::max())
        throw conversion_error("'" + digits + "' is not a valid integer value");
    return value;
}

std::string format_general(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // Round to 15 significant digits once; the notation is chosen from the rounded exponent.
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<std::size_t>(end - buf));
    const std::size_t e_pos = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e_pos))
        if (is_digit(c)) digits += c;
    int exponent = 0;
    const std::string_view exp_text = sci.substr(e_pos + 1);
    std::from_chars(exp_text.data() + (exp_text.front() == '+' ? 1 : 0), exp_text.data() + exp_text.size(), exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent >= 0) {
            const std::size_t int_len = static_cast<std::size_t>(exponent) + 1;
            if (digits.size() <= int_len) {
                out += digits + std::string(int_len - digits.size(), '0');
            } else {
                out += digits.substr(0, int_len) + decimal_separator + digits.substr(int_len);
            }
        } else {
            out += std::string("0") + decimal_separator + std::string(static_cast<std::size_t>(-exponent - 1), '0') +
                   digits;
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += decimal_separator + digits.substr(1);
        out += 'E' + std::to_string(exponent);
    }
    return out;
}

} // namespace xkv
