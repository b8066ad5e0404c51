#pragma once
// INI text files with the private-profile rules: sections and keys matched without regard to letter
// case, the first of duplicate keys wins, values without surrounding blanks and one pair of quotes,
// at most 2047 characters. Each write updates the file in place and keeps every other line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

class ini_file {
public:
    // Reads the file once; a missing or unreadable file reads as empty.
    explicit ini_file(std::string path);

    const std::string& path() const { return path_; }

    std::string read_string(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Decimal with optional sign, or hexadecimal after "$" or "0x"; anything else gives the fallback.
    std::int32_t read_integer(std::string_view section, std::string_view key, std::int32_t fallback) const;
    // An integer other than 0 is true.
    bool read_bool(std::string_view section, std::string_view key, bool fallback) const;

    // Section names in file order, each once.
    std::vector<std::string> sections() const;
    // Key names of a section in file order.
    std::vector<std::string> keys(std::string_view section) const;

    // Each write goes to the file at once; throws write_error "Unable to write to <path>" and leaves
    // the file as it was when the key cannot be written. A section, key or value holding CR, LF or
    // NUL is refused the same way ("Unable to write to <path>: ..."), the file left as it was. A
    // symbolic link is written through to its target.
    void write_string(std::string_view section, std::string_view key, std::string_view value);
    void write_integer(std::string_view section, std::string_view key, std::int64_t value);
    void write_bool(std::string_view section, std::string_view key, bool value);

private:
    void load();
    void store() const;
    // Index of the first header line of the section, or npos.
    std::size_t find_section(std::string_view section) const;
    // Index of the first key line of the key within the section starting at header, or npos.
    std::size_t find_key(std::size_t header, std::string_view key) const;
    std::size_t section_end(std::size_t header) const;

    std::string path_;
    std::vector<std::string> lines_;
};

// Integer text as the settings files read it; false when it is not one.
bool parse_ini_integer(std::string_view text, std::int32_t& value);

} // namespace xkv
