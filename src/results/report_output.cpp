#include "results/report_output.h"

#include "results/result_columns.h"
#include "results/t_report.h"
#include "settings/errors.h"
#include "settings/file_closer.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"
#include "settings/whole_file.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <system_error>

namespace xkv {

namespace {

// The cell of a listing row, empty when the row is short.
const std::string& cell(const std::vector<std::string>& row, std::size_t column) {
    static const std::string empty;
    return column < row.size() ? row[column] : empty;
}

// The listing's cells are in the order of results_columns().
_r_results viewer_row(const std::vector<std::string>& cells) {
    _r_results r;
    for (std::size_t i = 0; i < results_column_count; ++i) results_columns()[i].field.set(r, cell(cells, i));
    return r;
}

// Asks for the file, writes the report and opens it.
report_result deliver(const report_text& report, ui_services& ui) {
    if (!report.error_text.empty()) {
        ui.show_message(report.error_text);
        return report_result::template_error;
    }
    const auto path = ui.choose_save_file("report file|*.txt", "txt");
    if (!path) return report_result::cancelled;
    write_report_file(*path, report.lines);
    if (ui.open_with_desktop(*path)) return report_result::written;
    ui.show_warning("Couldn't execute the application", "Error");
    return report_result::open_failed;
}

} // namespace

std::string advance_report_counter(const std::string& counter_path) {
    ini_file ini(counter_path);
    const std::int64_t next = std::int64_t{ini.read_integer("TEMPLATE", "number", 1)} + 1;
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, next).ptr;
    std::string text(buffer, end);
    ini.write_integer("TEMPLATE", "number", digits_to_int(text));
    return text;
}

std::string short_date(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return {};
    char buffer[128];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%x", &local);
    return std::string(buffer, n);
}

std::string today_short_date() { return short_date(std::time(nullptr)); }

report_text make_report(const report_sources& sources, std::vector<_r_results> rows) {
    t_report engine(sources.template_path);
    report_text out;
    if (!engine.error_text.empty()) {
        out.error_text = engine.error_text;
        return out;
    }
    out.number = advance_report_counter(sources.counter_path);
    engine.number_text = out.number;
    engine.creator_text = sources.creator;
    engine.date_text = today_short_date();
    engine.setup = sources.setup;
    engine.limits_k = sources.limits_k;
    engine.rows = std::move(rows);
    engine.generate();
    out.lines = std::move(engine.out_lines);
    return out;
}

std::vector<_r_results> run_report_rows(const run_table& table) {
    std::vector<_r_results> rows;
    for (const _r_results& row : table) {
        if (row.sample_id.empty()) break;
        rows.push_back(row);
    }
    return rows;
}

std::vector<_r_results> viewer_report_rows(const text_table& listing) {
    std::vector<_r_results> rows;
    for (std::size_t r = 1; r < listing.row_count(); ++r) rows.push_back(viewer_row(listing.row(r)));
    return rows;
}

void write_report_file(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    whole_file file(path, 0666);
    if (!file.opened()) throw file_failure("Cannot create file", path, file.error());
    if (!file.write(text) || !file.commit()) throw file_failure("Cannot write file", path, file.error());
}

report_result report_from_run(const run_table& table, const report_sources& sources, ui_services& ui) {
    return deliver(make_report(sources, run_report_rows(table)), ui);
}

report_result report_from_viewer(const text_table& listing, const report_sources& sources, ui_services& ui) {
    return deliver(make_report(sources, viewer_report_rows(listing)), ui);
}

} // namespace xkv
