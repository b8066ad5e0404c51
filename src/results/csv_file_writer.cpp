// The CSV streams through the shared whole-file writer, in blocks of about 64 KiB.

#include "results/csv_export.h"
#include "results/listing_writer.h"
#include "settings/errors.h"
#include "settings/whole_file.h"

#include <sstream>

namespace xkv {

namespace {

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

} // namespace

std::unique_ptr<listing_writer> csv_file_writer(const std::string& file_name) {
    return std::make_unique<csv_writer>(file_name);
}

} // namespace xkv
