#include "settings/cp1252.h"

#include <cstdint>

namespace xkv {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the code page equals its byte value.
constexpr char32_t high_block[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char cp1252_byte(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<char>(code);
    for (int i = 0; i < 32; ++i)
        if (high_block[i] == code) return static_cast<char>(0x80 + i);
    return '?';
}

void append_utf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// The code point starting at `at`, and its length in `length`; false when the bytes there are not
// a shortest-form UTF-8 character of a scalar value.
bool decode(std::string_view text, std::size_t at, char32_t& code, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) {
        code = lead;
        length = 1;
        return true;
    }
    char32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, minimum = 0x10000;
    } else {
        return false;
    }
    if (at + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return false;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    return code >= minimum && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
}

bool is_ascii(std::string_view text) {
    for (char c : text)
        if (static_cast<std::uint8_t>(c) >= 0x80) return false;
    return true;
}

} // namespace

bool is_valid_utf8(std::string_view text) {
    char32_t code;
    std::size_t length;
    for (std::size_t at = 0; at < text.size(); at += length)
        if (!decode(text, at, code, length)) return false;
    return true;
}

std::string utf8_to_cp1252(std::string_view text) {
    if (is_ascii(text) || !is_valid_utf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    char32_t code;
    std::size_t length;
    for (std::size_t at = 0; at < text.size(); at += length) {
        decode(text, at, code, length);
        out.push_back(cp1252_byte(code));
    }
    return out;
}

std::string cp1252_to_utf8(std::string_view text) {
    if (is_ascii(text) || is_valid_utf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (char c : text) {
        const auto byte = static_cast<std::uint8_t>(c);
        append_utf8(out, byte >= 0x80 && byte < 0xA0 ? high_block[byte - 0x80] : char32_t{byte});
    }
    return out;
}

} // namespace xkv
