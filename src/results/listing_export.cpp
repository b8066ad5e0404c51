#include "results/listing_export.h"

#include "results/csv_export.h"
#include "results/listing_columns.h"
#include "results/row_limits.h"
#include "settings/cp1252.h"
#include "settings/errors.h"
#include "settings/whole_file.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <sstream>
#include <system_error>

namespace xkv {

namespace {

// libxlsxwriter writes its file by name when the workbook closes, so the workbook goes to a sibling
// name that is renamed over the target once complete; a symbolic link is written through.
class sibling_file {
public:
    explicit sibling_file(const std::string& target) : target_(link_target(target)), temporary_(target_ + ".part") {}
    ~sibling_file() {
        if (!committed_) std::remove(temporary_.c_str());
    }
    sibling_file(const sibling_file&) = delete;
    sibling_file& operator=(const sibling_file&) = delete;
    const std::string& temporary() const { return temporary_; }
    void commit() {
        if (std::rename(temporary_.c_str(), target_.c_str()) != 0) fail("Cannot write file", errno);
        committed_ = true;
    }
    [[noreturn]] void fail(const char* what, int error) const { throw file_failure(what, target_, error); }

private:
    std::string target_;
    std::string temporary_;
    bool committed_ = false;
};

// The CSV streams through the shared whole-file writer, in blocks of about 64 KiB.
class csv_writer final : public listing_writer {
public:
    explicit csv_writer(const std::string& file_name) : path_(file_name), file_(file_name, 0666) {
        if (!file_.opened()) throw file_failure("Cannot create file", path_, file_.error());
        out_ << utf8_byte_order_mark;
    }
    void row(const std::vector<std::string_view>& cells) override {
        write_csv_row(out_, cells);
        if (out_.tellp() >= block_size) flush();
    }
    void finish() override {
        flush();
        if (!file_.commit()) throw file_failure("Cannot write file", path_, file_.error());
    }

private:
    static constexpr std::streamoff block_size = 1 << 16;
    void flush() {
        if (!file_.write(out_.view())) throw file_failure("Cannot write file", path_, file_.error());
        out_.str({});
    }

    std::string path_;
    whole_file file_;
    std::ostringstream out_;
};

class xlsx_writer final : public listing_writer {
public:
    explicit xlsx_writer(const std::string& file_name) : file_(file_name) {
        // Rows go to the file as they come: memory stays flat whatever the listing's length.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        book_ = workbook_new_opt(file_.temporary().c_str(), &options);
        if (!book_) file_.fail("Cannot create file", errno);
        sheet_ = workbook_add_worksheet(book_, nullptr);
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "yyyy-mm-dd hh:mm:ss");
        worksheet_freeze_panes(sheet_, 1, 0);
    }
    ~xlsx_writer() override {
        if (book_) workbook_close(book_); // unfinished: the sibling file is removed after this
    }
    void row(const std::vector<std::string_view>& cells) override {
        const auto r = static_cast<lxw_row_t>(rows_);
        for (std::size_t c = 0; c < cells.size(); ++c) check(write(r, static_cast<lxw_col_t>(c), cells[c]));
        if (rows_ == 0) columns_ = cells.size();
        ++rows_;
    }
    void finish() override {
        if (rows_ > 0 && columns_ > 0)
            check(worksheet_autofilter(sheet_, 0, 0, static_cast<lxw_row_t>(rows_ - 1),
                                       static_cast<lxw_col_t>(columns_ - 1)));
        lxw_workbook* book = book_;
        book_ = nullptr;
        check(workbook_close(book));
        file_.commit();
    }

private:
    lxw_error write(lxw_row_t r, lxw_col_t c, std::string_view text) {
        if (r == 0) return worksheet_write_string(sheet_, r, c, cp1252_to_utf8(text).c_str(), bold_);
        if (text.empty()) return LXW_NO_ERROR;
        switch (listing_column_kind(c)) {
        case listing_kind::number:
            if (const auto v = number_of(text)) return worksheet_write_number(sheet_, r, c, *v, nullptr);
            break;
        case listing_kind::date:
            if (timestamp_seconds(text)) {
                const auto part = [&text](std::size_t at, std::size_t n) {
                    return std::stoi(std::string(text.substr(at, n)));
                };
                lxw_datetime dt{part(0, 4),  part(5, 2),  part(8, 2),
                                part(11, 2), part(14, 2), static_cast<double>(part(17, 2))};
                return worksheet_write_datetime(sheet_, r, c, &dt, date_);
            }
            break;
        case listing_kind::text: break;
        }
        return worksheet_write_string(sheet_, r, c, cp1252_to_utf8(text).c_str(), nullptr);
    }
    void check(lxw_error e) const {
        if (e == LXW_NO_ERROR) return;
        throw file_error("Cannot write file \"" + file_.temporary() + "\". " + lxw_strerror(e));
    }

    sibling_file file_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    std::size_t rows_ = 0;
    std::size_t columns_ = 0;
};

} // namespace

std::unique_ptr<listing_writer> csv_file_writer(const std::string& file_name) {
    return std::make_unique<csv_writer>(file_name);
}

std::unique_ptr<listing_writer> xlsx_file_writer(const std::string& file_name) {
    return std::make_unique<xlsx_writer>(file_name);
}

void listing_rows::header() {
    cells_.assign(viewer_headers.begin(), viewer_headers.end());
    if (limits_) cells_.insert(cells_.end(), limits_headers.begin(), limits_headers.end());
    out_.row(cells_);
}

void listing_rows::row(const std::vector<std::string_view>& cells) {
    if (!limits_) return out_.row(cells);
    const auto limits = limits_cells(channels_of_listing_row(cells), k_);
    cells_.assign(cells.begin(), cells.end());
    cells_.resize(std::max(cells_.size(), viewer_column_count));
    cells_.insert(cells_.end(), limits.begin(), limits.end());
    out_.row(cells_);
}

void export_listing(const std::string& database_path, const bound_statement& select, listing_writer& out,
                    bool with_limits, double k) {
    listing_rows rows(out, with_limits, k);
    rows.header();
    stream_results(database_path, select, [&rows](const std::vector<std::string_view>& cells) { rows.row(cells); });
    out.finish();
}

void export_grid(const text_table& grid, listing_writer& out, double k) {
    listing_rows rows(out, true, k);
    rows.header();
    std::vector<std::string_view> cells;
    for (std::size_t r = 1; r < grid.row_count(); ++r) {
        grid.row_views(r, cells);
        rows.row(cells);
    }
    out.finish();
}

export_format export_format_of(std::string_view name) {
    const auto ends_with = [name](std::string_view ext) {
        if (name.size() < ext.size()) return false;
        const std::string_view tail = name.substr(name.size() - ext.size());
        for (std::size_t i = 0; i < ext.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(tail[i])) != ext[i]) return false;
        return true;
    };
    if (ends_with(".xlsx")) return export_format::xlsx;
    if (ends_with(".csv")) return export_format::csv;
    return export_format::xls;
}

} // namespace xkv
