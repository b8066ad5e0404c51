// The XLSX through libxlsxwriter, which writes its file by name when the workbook closes: the name
// it gets is the shared whole-file writer's open temporary itself, so the workbook lands in the
// file created exclusively there and takes the target's place (owner and permissions kept) once
// complete.

#include "results/listing_columns.h"
#include "results/listing_writer.h"
#include "settings/cp1252.h"
#include "settings/errors.h"
#include "settings/whole_file.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <string>

namespace xkv {

namespace {

class xlsx_writer final : public listing_writer {
public:
    explicit xlsx_writer(const std::string& file_name) : path_(file_name), file_(file_name, 0666) {
        if (!file_.opened()) throw file_failure("Cannot create file", path_, file_.error());
        // Rows go to the file as they come: memory stays flat whatever the listing's length.
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        const std::string into = file_.descriptor_path();
        book_ = workbook_new_opt(into.c_str(), &options);
        if (!book_) throw file_failure("Cannot create file", path_, errno);
        sheet_ = workbook_add_worksheet(book_, nullptr);
        bold_ = workbook_add_format(book_);
        format_set_bold(bold_);
        date_ = workbook_add_format(book_);
        format_set_num_format(date_, "yyyy-mm-dd hh:mm:ss");
        worksheet_freeze_panes(sheet_, 1, 0);
    }
    ~xlsx_writer() override {
        if (book_) workbook_close(book_); // unfinished: the temporary is removed after this
    }
    xlsx_writer(const xlsx_writer&) = delete;
    xlsx_writer& operator=(const xlsx_writer&) = delete;

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
        if (!file_.commit()) throw file_failure("Cannot write file", path_, file_.error());
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
        throw file_error("Cannot write file \"" + path_ + "\". " + lxw_strerror(e));
    }

    std::string path_;
    whole_file file_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    std::size_t rows_ = 0;
    std::size_t columns_ = 0;
};

} // namespace

std::unique_ptr<listing_writer> xlsx_file_writer(const std::string& file_name) {
    return std::make_unique<xlsx_writer>(file_name);
}

} // namespace xkv
