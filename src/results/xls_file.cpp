#include "results/xls_file.h"

#include "settings/errors.h"
#include "settings/value_text.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace xkv {

namespace {

constexpr std::size_t label_header_bytes = 12;

bool is_continuation_byte(char c) { return (static_cast<unsigned char>(c) & 0xc0) == 0x80; }

std::string_view cut_to_fit(std::string_view text) {
    if (text.size() <= xls_max_cell_bytes) return text;
    std::size_t length = xls_max_cell_bytes;
    // Step back over at most three continuation bytes; a text that is not UTF-8 is cut where it is.
    for (int back = 0; back < 3 && is_continuation_byte(text[length]); ++back) --length;
    if (is_continuation_byte(text[length])) length = xls_max_cell_bytes;
    return text.substr(0, length);
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

// The output file, closed on every way out.
class output_file {
public:
    explicit output_file(const std::string& path) : path_(path) {
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) throw file_failure("Cannot create file", path, errno);
        struct stat st {};
        seekable_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
    }
    ~output_file() {
        if (fd_ >= 0) ::close(fd_);
    }
    output_file(const output_file&) = delete;
    output_file& operator=(const output_file&) = delete;

    bool seekable() const { return seekable_; }

    // At `offset` on a regular file, else where the last write ended.
    void write(std::string_view bytes, std::uint64_t offset) {
        while (!bytes.empty()) {
            const ssize_t n = seekable_ ? ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset))
                                        : ::write(fd_, bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) throw file_failure("Cannot write file", path_, n < 0 ? errno : EIO);
            bytes.remove_prefix(static_cast<std::size_t>(n));
            offset += static_cast<std::uint64_t>(n);
        }
    }

    void close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) throw file_failure("Cannot write file", path_, errno);
    }

private:
    std::string path_;
    int fd_ = -1;
    bool seekable_ = false;
};

constexpr unsigned char bof_record[] = {0x09, 0x08, 0x08, 0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr unsigned char eof_record[] = {0x0a, 0x00, 0x00, 0x00};

std::string_view as_text(const unsigned char* bytes, std::size_t n) {
    return {reinterpret_cast<const char*>(bytes), n};
}

void append_label(std::string& out, std::size_t column, std::size_t row, std::string_view text) {
    const std::string_view fitting = cut_to_fit(text);
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
    for (std::size_t r = 0; r < grid.row_count(); ++r) {
        grid.row_views(r, row);
        for (std::size_t c = 0; c < columns; ++c)
            next[c] += label_header_bytes + (c < row.size() ? cut_to_fit(row[c]).size() : 0);
    }
    std::uint64_t end = sizeof bof_record;
    for (auto& column : next) end += std::exchange(column, end);  // column lengths become column offsets

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
    // Row indices beyond 65535 would wrap onto the first rows and overwrite them.
    if (grid.row_count() > xls_max_rows)
        throw file_error("Cannot save " + decimal(grid.row_count()) + " rows in \"" + file_name +
                         "\": a worksheet holds at most " + decimal(xls_max_rows) +
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
