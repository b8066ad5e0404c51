// Listings that stream, the CSV and XLSX exports, the counter's chi-square check and the chart.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "results/chart_stats.h"
#include "results/counter_qc.h"
#include "results/iso11929.h"
#include "results/listing_export.h"
#include "settings/settings_files.h"
#include "settings/value_text.h"

#include <algorithm>

namespace xkv::cli {

namespace {

// TSV rows gathered in a buffer and written in large pieces: a listing of any length costs one
// buffer's memory, and the stream is not asked for every cell.
class tsv_stream final : public listing_writer {
public:
    explicit tsv_stream(std::ostream& out) : out_(out) { buffer_.reserve(limit + 4096); }
    void row(const std::vector<std::string_view>& cells) override {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) buffer_ += '\t';
            append_tsv_escaped(buffer_, cells[i]);
        }
        buffer_ += '\n';
        if (buffer_.size() >= limit) flush();
    }
    void finish() override { flush(); }

private:
    static constexpr std::size_t limit = 1 << 16;
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }
    std::ostream& out_;
    std::string buffer_;
};

double limits_k(const context& c) { return read_limits_k(c.file(program_options_file)); }

int export_with(context& c, const command_line& line, std::unique_ptr<listing_writer> writer) {
    export_listing(database_path(c), listing_select(line), *writer, true, limits_k(c));
    c.out << "file saved!\n";
    return exit_ok;
}

} // namespace

int cmd_list(context& c, const command_line& line) {
    tsv_stream out(c.out);
    export_listing(database_path(c), listing_select(line), out, line.flag("limits"), limits_k(c));
    return exit_ok;
}

int cmd_export_csv(context& c, const command_line& line) {
    return export_with(c, line, csv_file_writer(line.positional.front()));
}

int cmd_export_xlsx(context& c, const command_line& line) {
    return export_with(c, line, xlsx_file_writer(line.positional.front()));
}

int cmd_qc(context& c, const command_line& line) {
    if (line.positional.front() != "chi2") return cmd_qc_check(c, line);
    series_collector collector;
    stream_results(database_path(c), listing_select(line),
                   [&collector](const std::vector<std::string_view>& cells) { collector.add(cells); });
    c.out << "sample\tfirst id\tlast id\tchannel\tchi2\tdof\tp\tresult\n";
    for (const count_series& s : collector.finish()) {
        for (const auto& [channel, counts] : {std::pair{"alpha", &s.alpha}, std::pair{"beta", &s.beta}}) {
            const auto r = chi_square_test(*counts);
            if (!r) continue;
            c.out << tsv_escape(s.sample_id) << '\t' << s.first_id << '\t' << s.last_id << '\t' << channel << '\t'
                  << format_general(r->chi_square) << '\t' << r->degrees_of_freedom << '\t'
                  << format_general(r->p_value) << '\t' << (r->flagged ? "outside 0.05..0.95" : "ok") << '\n';
        }
    }
    return exit_ok;
}

int cmd_chart(context& c, const command_line& line) {
    const std::string& column = line.positional[0];
    const auto columns = chart_columns();
    if (std::find(columns.begin(), columns.end(), column) == columns.end()) {
        std::string known;
        for (const std::string& name : columns) known += " " + name;
        throw usage_error("chart takes a numeric column:" + known);
    }
    if (!c.env.save_chart) throw std::runtime_error("this xkv4410-cli was built without the chart library");
    c.env.save_chart(chart_of_listing(listing(c, line), column), line.positional[1]);
    c.out << "file saved!\n";
    return exit_ok;
}

} // namespace xkv::cli
