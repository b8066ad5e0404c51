#include "results/xls_file.h"

#include "settings/errors.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>

namespace xkv {

namespace {

void put_words(std::ostream& out, std::initializer_list<std::uint16_t> words) {
    char bytes[16];
    std::size_t n = 0;
    for (const std::uint16_t w : words) {
        bytes[n++] = static_cast<char>(w & 0xff);
        bytes[n++] = static_cast<char>(w >> 8);
    }
    out.write(bytes, static_cast<std::streamsize>(n));
}

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

std::string_view cut_to_fit(std::string_view text) {
    if (text.size() <= xls_max_cell_bytes) return text;
    std::size_t length = xls_max_cell_bytes;
    // Step back over at most three continuation bytes; a text that is not UTF-8 is cut where it is.
    for (int back = 0; back < 3 && length > 0 && is_continuation_byte(text[length]); ++back) --length;
    if (is_continuation_byte(text[length])) length = xls_max_cell_bytes;
    return text.substr(0, length);
}

std::string decimal(std::size_t n) {
    char buffer[24];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, n).ptr);
}

std::string failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " \"" + path + "\". " + std::generic_category().message(error);
}

} // namespace

void write_label_cell(std::ostream& out, std::uint16_t column, std::uint16_t row, std::string_view text) {
    const std::string_view fitting = cut_to_fit(text);
    const auto length = static_cast<std::uint16_t>(fitting.size());
    put_words(out, {0x0204, static_cast<std::uint16_t>(8 + length), row, column, 0x0000, length});
    out.write(fitting.data(), static_cast<std::streamsize>(fitting.size()));
}

bool save_grid_as_xls(const std::vector<std::vector<std::string>>& grid, const std::string& file_name) {
    // Row indices beyond 65535 would wrap onto the first rows and overwrite them.
    if (grid.size() > xls_max_rows)
        throw file_error("Cannot save " + decimal(grid.size()) + " rows in \"" + file_name +
                         "\": a worksheet holds at most " + decimal(xls_max_rows) +
                         ". Narrow the listing with the filters and save again.");
    std::size_t columns = 0;
    for (const auto& row : grid) columns = std::max(columns, row.size());
    if (columns > 65536) throw file_error("Cannot save more than 65536 columns in \"" + file_name + "\"");

    // Records go straight to the file through one large buffer (declared first: it outlives the stream).
    const auto buffer = std::make_unique<char[]>(1 << 20);
    std::ofstream out;
    out.rdbuf()->pubsetbuf(buffer.get(), 1 << 20);
    out.open(file_name, std::ios::binary | std::ios::trunc);
    if (!out) throw file_error(failure("Cannot create file", file_name, errno));

    static const std::string empty;
    put_words(out, {0x0809, 0x0008, 0x0000, 0x0010, 0x0000, 0x0000});
    for (std::size_t c = 0; c < columns; ++c)
        for (std::size_t r = 0; r < grid.size(); ++r)
            write_label_cell(out, static_cast<std::uint16_t>(c), static_cast<std::uint16_t>(r),
                             c < grid[r].size() ? grid[r][c] : empty);
    put_words(out, {0x000A, 0x0000});
    out.close();
    if (!out) throw file_error(failure("Cannot write file", file_name, errno));
    return true;
}

} // namespace xkv
