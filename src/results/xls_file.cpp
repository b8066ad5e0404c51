#include "results/xls_file.h"

#include "settings/cp1252.h"
#include "settings/errors.h"
#include "settings/value_text.h"
#include "settings/whole_file.h"

#include <algorithm>
#include <charconv>
#include <system_error>
#include <utility>

namespace xkv {

namespace {

constexpr std::size_t label_header_bytes = 12;

// A cell's bytes in the file: Windows-1252, the worksheet's single-byte code page, cut to what one
// record holds. The text is written into `scratch` when it has to change.
std::string_view cell_bytes(std::string_view text, std::string& scratch) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii) {
        scratch = utf8_to_cp1252(text);
        text = scratch;
    }
    return text.substr(0, xls_max_cell_bytes);
}

void put_word(unsigned char* at, std::uint16_t word) {
    at[0] = static_cast<unsigned char>(word & 0xff);
    at[1] = static_cast<unsigned char>(word >> 8);
}

// A LABEL record's head: type, length of what follows, row, column, format 0, text length; the
// text follows it.
void put_label_head(unsigned char* at, std::size_t column, std::size_t row, std::string_view text) {
    const auto length = static_cast<std::uint16_t>(text.size());
    put_word(at, 0x0204);
    put_word(at + 2, static_cast<std::uint16_t>(8 + length));
    put_word(at + 4, static_cast<std::uint16_t>(row));
    put_word(at + 6, static_cast<std::uint16_t>(column));
    put_word(at + 8, 0x0000);
    put_word(at + 10, length);
}

// The output file: complete or, on any failure, not there (an earlier file as it was).
class output_file {
public:
    explicit output_file(const std::string& path) : path_(path), file_(path, 0666) {
        if (!file_.opened()) throw file_failure("Cannot create file", path, file_.error());
    }

    bool seekable() const { return file_.seekable(); }

    // At `offset` on a regular file, else where the last write ended.
    void write(std::string_view bytes, std::uint64_t offset) {
        if (!(file_.seekable() ? file_.write_at(bytes, offset) : file_.write(bytes))) fail();
    }

    void close() {
        if (!file_.commit()) fail();
    }

private:
    [[noreturn]] void fail() { throw file_failure("Cannot write file", path_, file_.error()); }

    std::string path_;
    whole_file file_;
};

constexpr unsigned char bof_record[] = {0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr unsigned char eof_record[] = {0x0a, 0x00, 0x00, 0x00};

std::string_view as_text(const unsigned char* bytes, std::size_t n) {
    return {reinterpret_cast<const char*>(bytes), n};
}

void append_label(std::string& out, std::size_t column, std::size_t row, std::string_view text) {
    std::string scratch;
    const std::string_view fitting = cell_bytes(text, scratch);
    unsigned char head[label_header_bytes];
    put_label_head(head, column, row, fitting);
    out.append(as_text(head, sizeof head));
    out.append(fitting);
}

constexpr std::size_t flush_bytes = 4 << 20;

// Column by column down the whole grid, in file order: for pipes and devices.
void write_in_order(output_file& file, const text_table& grid) {
    std::string bytes(as_text(bof_record, sizeof bof_record));
    for (std::size_t c = 0; c < grid.column_count(); ++c)
        for (std::size_t r = 0; r < grid.row_count(); ++r) {
            append_label(bytes, c, r, grid.cell(r, c));
            if (bytes.size() >= flush_bytes) {
                file.write(bytes, 0);
                bytes.clear();
            }
        }
    bytes.append(as_text(eof_record, sizeof eof_record));
    file.write(bytes, 0);
}

// A column of the file runs down every row, and the rows lie far apart in memory, so a regular file
// is filled row by row instead: each column gathers its records in its own buffer, and the buffers
// go to their columns' places in the file (known beforehand from the cell lengths) every few MiB.
void write_by_rows(output_file& file, const text_table& grid) {
    const std::size_t columns = grid.column_count();
    std::vector<std::string_view> row;
    std::vector<std::uint64_t> next(columns, 0);
    std::string scratch;
    for (std::size_t r = 0; r < grid.row_count(); ++r) {
        grid.row_views(r, row);
        for (std::size_t c = 0; c < columns; ++c)
            next[c] += label_header_bytes + (c < row.size() ? cell_bytes(row[c], scratch).size() : 0);
    }
    std::uint64_t end = sizeof bof_record;
    for (auto& column : next) end += std::exchange(column, end); // column lengths become column offsets

    file.write(as_text(bof_record, sizeof bof_record), 0);
    std::vector<std::string> gathered(columns);
    std::size_t held = 0;
    const auto flush = [&] {
        for (std::size_t c = 0; c < columns; ++c) {
            file.write(gathered[c], next[c]);
            next[c] += gathered[c].size();
            gathered[c].clear();
        }
        held = 0;
    };
    for (std::size_t r = 0; r < grid.row_count(); ++r) {
        grid.row_views(r, row);
        for (std::size_t c = 0; c < columns; ++c) {
            const std::size_t before = gathered[c].size();
            append_label(gathered[c], c, r, c < row.size() ? row[c] : std::string_view());
            held += gathered[c].size() - before;
        }
        if (held >= flush_bytes) flush();
    }
    flush();
    file.write(as_text(eof_record, sizeof eof_record), end);
}

} // namespace

void write_label_cell(std::ostream& out, std::uint16_t column, std::uint16_t row, std::string_view text) {
    std::string record;
    append_label(record, column, row, text);
    out.write(record.data(), static_cast<std::streamsize>(record.size()));
}

bool save_grid_as_xls(const text_table& grid, const std::string& file_name) {
    // Row indices beyond 65535 would wrap onto the first rows and overwrite them. The operator
    // counts the listed results, not the header row above them.
    if (grid.row_count() > xls_max_rows)
        throw file_error("Cannot save " + decimal(grid.row_count() - 1) + " rows in \"" + file_name +
                         "\": a worksheet holds at most " + decimal(xls_max_rows - 1) +
                         ". Narrow the listing with the filters and save again.");
    if (grid.column_count() > 65536) throw file_error("Cannot save more than 65536 columns in \"" + file_name + "\"");

    output_file file(file_name);
    if (file.seekable())
        write_by_rows(file, grid);
    else
        write_in_order(file, grid);
    file.close();
    return true;
}

} // namespace xkv
