#include "results/report_output.h"

#include "results/report_counter.h"
#include "results/result_columns.h"
#include "results/t_report.h"
#include "settings/errors.h"
#include "settings/file_closer.h"
#include "settings/ini_file.h"
#include "settings/value_text.h"
#include "settings/whole_file.h"

#include <optional>
#include <string_view>

namespace xkv {

namespace {

std::string report_file_text(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// Asks for the file, writes the numbered report and opens it.
report_result deliver(const report_sources& sources, std::vector<_r_results> rows, ui_services& ui) {
    std::string problem = template_problem(sources);
    std::optional<std::string> path;
    if (problem.empty()) {
        path = ui.choose_save_file("report file|*.txt", "txt");
        if (!path) return report_result::cancelled;
        problem = write_numbered_report(sources, std::move(rows), *path).error_text; // changed meanwhile
    }
    if (!problem.empty()) {
        ui.show_message(problem);
        return report_result::template_error;
    }
    if (ui.open_with_desktop(*path)) return report_result::written;
    ui.show_warning("Couldn't execute the application", "Error");
    return report_result::open_failed;
}

} // namespace

std::string advance_report_counter(const std::string& counter_path) {
    const report_counter counter(counter_path);
    std::string number = counter.next();
    counter.store(number);
    return number;
}

std::string template_problem(const report_sources& sources) { return t_report(sources.template_path).error_text; }

report_text write_numbered_report(const report_sources& sources, std::vector<_r_results> rows,
                                  const std::string& path) {
    if (std::string problem = template_problem(sources); !problem.empty()) return {std::move(problem), {}, {}};
    const report_counter counter(sources.counter_path);
    report_text report = make_report(sources, std::move(rows), counter.next());
    if (!report.error_text.empty()) return report;
    whole_file file(path, 0666);
    if (!file.opened()) throw file_failure("Cannot create file", path, file.error());
    if (!file.write(report_file_text(report.lines))) throw file_failure("Cannot write file", path, file.error());
    // The number is stored before the report takes its place: a report that can't keep its number
    // is not put out, and one put out never shares its number with the next.
    const std::int32_t before = counter.stored();
    counter.store(report.number);
    if (!file.commit()) {
        counter.restore(before);
        throw file_failure("Cannot write file", path, file.error());
    }
    return report;
}

std::string short_date(std::time_t when) {
    std::tm local{};
    if (!localtime_r(&when, &local)) return {};
    char buffer[128];
    // The locale's own short date, two-digit years included: what the reports have always shown.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-y2k"
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%x", &local);
#pragma GCC diagnostic pop
    return std::string(buffer, n);
}

std::string today_short_date() { return short_date(std::time(nullptr)); }

report_text make_report(const report_sources& sources, std::vector<_r_results> rows, const std::string& number) {
    t_report engine(sources.template_path);
    report_text out;
    if (!engine.error_text.empty()) {
        out.error_text = engine.error_text;
        return out;
    }
    out.number = number;
    engine.number_text = out.number;
    engine.creator_text = sources.creator;
    engine.date_text = today_short_date();
    engine.setup = sources.setup;
    engine.limits_k = sources.limits_k;
    engine.extras = sources.extras;
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

_r_results viewer_report_row(const std::vector<std::string_view>& cells) {
    _r_results r;
    for (std::size_t i = 0; i < results_column_count; ++i)
        results_columns()[i].field.set(r, i < cells.size() ? std::string(cells[i]) : std::string());
    return r;
}

std::vector<_r_results> viewer_report_rows(const text_table& listing) {
    std::vector<_r_results> rows;
    std::vector<std::string_view> cells;
    for (std::size_t r = 1; r < listing.row_count() && rows.size() < report_row_capacity; ++r) {
        listing.row_views(r, cells);
        rows.push_back(viewer_report_row(cells));
    }
    return rows;
}

void write_report_file(const std::string& path, const std::vector<std::string>& lines) {
    whole_file file(path, 0666);
    if (!file.opened()) throw file_failure("Cannot create file", path, file.error());
    if (!file.write(report_file_text(lines)) || !file.commit())
        throw file_failure("Cannot write file", path, file.error());
}

report_result report_from_run(const run_table& table, const report_sources& sources, ui_services& ui) {
    return deliver(sources, run_report_rows(table), ui);
}

report_result report_from_viewer(const text_table& listing, const report_sources& sources, ui_services& ui) {
    return deliver(sources, viewer_report_rows(listing), ui);
}

} // namespace xkv
