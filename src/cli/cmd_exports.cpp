// Listings that stream, the CSV and XLSX exports, the counter's chi-square check and the chart.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "results/chart_stats.h"
#include "results/counter_qc.h"
#include "results/listing_export.h"
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
        // A reader that went away (a closed pipe) ends the listing instead of letting it run on unread.
        if (!out_) throw std::runtime_error("Cannot write the listing: its output is closed");
    }
    std::ostream& out_;
    std::string buffer_;
};

// Passes rows on until the operator interrupts; the file is then never completed.
class interruptible final : public listing_writer {
public:
    interruptible(const context& c, listing_writer& out, std::string undone)
        : c_(c), out_(out), undone_(std::move(undone)) {}
    void row(const std::vector<std::string_view>& cells) override {
        stop_if_interrupted(c_, undone_);
        out_.row(cells);
    }
    void finish() override {
        stop_if_interrupted(c_, undone_);
        out_.finish();
    }

private:
    const context& c_;
    listing_writer& out_;
    std::string undone_;
};

int export_with(context& c, const command_line& line, std::unique_ptr<listing_writer> writer) {
    const auto extras = c.listing_extras();
    interruptible out(c, *writer, line.positional.front() + " was not written");
    export_listing(database_path(c), listing_select(line), out, true, c.read_only.limits_k, extras.get());
    c.out << "file saved!\n";
    return exit_ok;
}

} // namespace

int cmd_list(context& c, const command_line& line) {
    tsv_stream tsv(c.out);
    interruptible out(c, tsv, "the listing is incomplete");
    std::shared_ptr<row_extras> extras;
    if (line.flag("lab")) extras = c.listing_extras();
    export_listing(database_path(c), listing_select(line), out, line.flag("limits"), c.read_only.limits_k,
                   extras.get());
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
    // Streamed and drawn at the picture's width: a listing of any length costs a few values per row.
    chart_collector collector(column);
    stream_results(database_path(c), listing_select(line), [&](const std::vector<std::string_view>& cells) {
        stop_if_interrupted(c, line.positional[1] + " was not written");
        collector.add(cells);
    });
    const chart_data chart = decimated(collector.finish(), chart_png_width);
    if (const std::string note = decimation_note(chart); !note.empty()) c.err << note << "\n";
    c.env.save_chart(chart, line.positional[1]);
    c.out << "file saved!\n";
    return exit_ok;
}

} // namespace xkv::cli
