#include "settings/ini_file.h"

#include "settings/ascii_case.h"
#include "settings/errors.h"
#include "settings/regular_file.h"
#include "settings/whole_file.h"

#include <charconv>
#include <limits>

#include <sys/stat.h>
#include <unistd.h>

namespace xkv {

namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::size_t max_value_length = 2047;

std::string_view trim_blanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == npos) return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

// The section name of a header line ("[name]"); false for any other line.
// A header without "]" names the rest of its line.
bool header_name(std::string_view line, std::string_view& name) {
    line = trim_blanks(line);
    if (line.empty() || line.front() != '[') return false;
    line.remove_prefix(1);
    const auto close = line.find(']');
    name = trim_blanks(close == npos ? line : line.substr(0, close));
    return true;
}

// The key and raw value of a key line; false for a line without "=".
bool key_line(std::string_view line, std::string_view& key, std::string_view& value) {
    const auto eq = line.find('=');
    if (eq == npos) return false;
    key = trim_blanks(line.substr(0, eq));
    value = line.substr(eq + 1);
    return true;
}

std::string clean_value(std::string_view raw) {
    std::string_view v = trim_blanks(raw);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > max_value_length) v = v.substr(0, max_value_length);
    return std::string(v);
}

bool parse_hex(std::string_view digits, std::int32_t& value) {
    if (digits.empty() || digits.size() > 8) return false;
    std::uint32_t u = 0;
    auto [p, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), u, 16);
    if (ec != std::errc{} || p != digits.data() + digits.size()) return false;
    value = static_cast<std::int32_t>(u);
    return true;
}

} // namespace

bool parse_ini_integer(std::string_view text, std::int32_t& value) {
    bool negative = false;
    std::string_view body = text;
    if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    std::int32_t result = 0;
    if (!body.empty() && body.front() == '$') {
        if (!parse_hex(body.substr(1), result)) return false;
    } else if (body.size() >= 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
        if (!parse_hex(body.substr(2), result)) return false;
    } else {
        std::int64_t wide = 0;
        if (body.empty() || body.size() > 11) return false;
        auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), wide);
        if (ec != std::errc{} || p != body.data() + body.size()) return false;
        if (negative) wide = -wide;
        if (wide < std::numeric_limits<std::int32_t>::min() || wide > std::numeric_limits<std::int32_t>::max())
            return false;
        value = static_cast<std::int32_t>(wide);
        return true;
    }
    value = negative ? static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(result)) : result;
    return true;
}

ini_file::ini_file(std::string path) : path_(std::move(path)) { load(); }

void ini_file::load() {
    lines_.clear();
    // A missing or unreadable file reads as empty; a pipe or a device is refused (file_error).
    const std::optional<std::string> read = read_regular_file(path_);
    if (!read) return;
    const std::string& text = *read;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(std::move(line));
        start = end + 1;
    }
}

std::size_t ini_file::find_section(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view name;
        if (header_name(lines_[i], name) && equal_ignoring_case(name, section)) return i;
    }
    return npos;
}

std::size_t ini_file::section_end(std::size_t header) const {
    std::size_t i = header + 1;
    std::string_view name;
    while (i < lines_.size() && !header_name(lines_[i], name)) ++i;
    return i;
}

std::size_t ini_file::find_key(std::size_t header, std::string_view key) const {
    const std::size_t end = section_end(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k, v;
        if (key_line(lines_[i], k, v) && equal_ignoring_case(k, key)) return i;
    }
    return npos;
}

std::string ini_file::read_string(std::string_view section, std::string_view key, std::string_view fallback) const {
    const std::size_t header = find_section(section);
    if (header == npos) return std::string(fallback);
    const std::size_t line = find_key(header, key);
    if (line == npos) return std::string(fallback);
    std::string_view k, v;
    key_line(lines_[line], k, v);
    return clean_value(v);
}

std::int32_t ini_file::read_integer(std::string_view section, std::string_view key, std::int32_t fallback) const {
    std::int32_t value = 0;
    return parse_ini_integer(read_string(section, key, ""), value) ? value : fallback;
}

bool ini_file::read_bool(std::string_view section, std::string_view key, bool fallback) const {
    return read_integer(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::string> ini_file::sections() const {
    std::vector<std::string> names;
    for (const auto& line : lines_) {
        std::string_view name;
        if (!header_name(line, name)) continue;
        bool seen = false;
        for (const auto& n : names) seen = seen || equal_ignoring_case(n, name);
        if (!seen) names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> ini_file::keys(std::string_view section) const {
    std::vector<std::string> names;
    const std::size_t header = find_section(section);
    if (header == npos) return names;
    const std::size_t end = section_end(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k, v;
        if (key_line(lines_[i], k, v) && !k.empty()) names.emplace_back(k);
    }
    return names;
}

void ini_file::write_string(std::string_view section, std::string_view key, std::string_view value) {
    // A line break would end the line early and start a section or key of its own.
    for (const std::string_view text : {section, key, value})
        if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            throw write_error(path_,
                              "the setting \"" + std::string(key) + "\" cannot hold a line break or a NUL character");
    load(); // another writer may have changed the file since it was read
    const std::string entry = std::string(key) + "=" + std::string(value);
    const std::size_t header = find_section(section);
    if (header == npos) {
        lines_.push_back("[" + std::string(section) + "]");
        lines_.push_back(entry);
    } else if (const std::size_t line = find_key(header, key); line != npos) {
        lines_[line] = entry;
    } else {
        // A new key follows the last non-blank line of its section.
        std::size_t at = section_end(header);
        while (at > header + 1 && trim_blanks(lines_[at - 1]).empty()) --at;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), entry);
    }
    try {
        store();
    } catch (...) {
        load();
        throw;
    }
}

void ini_file::write_integer(std::string_view section, std::string_view key, std::int64_t value) {
    write_string(section, key, std::to_string(value));
}

void ini_file::write_bool(std::string_view section, std::string_view key, bool value) {
    write_string(section, key, value ? "1" : "0");
}

void ini_file::store() const {
    // A file without write permission is read-only, for root as well.
    const std::string target = link_target(path_);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && (!S_ISREG(st.st_mode) || (st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        throw write_error(path_);

    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += "\r\n";
    }
    whole_file file(path_, 0644);
    if (!file.write(text) || !file.commit()) throw write_error(path_);
}

} // namespace xkv
