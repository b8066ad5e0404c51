// Commands on the stored results: the viewer's listing, its spreadsheet and its report.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "results/iso11929.h"
#include "results/report_output.h"
#include "results/viewer_query.h"
#include "results/xls_file.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <charconv>

namespace xkv::cli {

namespace {

int days_in_month(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

calendar_date parse_date(const std::string& option, const std::string& text) {
    calendar_date d;
    const char* p = text.data();
    const char* end = p + text.size();
    auto number = [&](int& value, std::size_t digits) {
        auto [next, ec] = std::from_chars(p, end, value);
        const bool ok = ec == std::errc{} && static_cast<std::size_t>(next - p) == digits;
        p = next;
        return ok;
    };
    const bool ok = text.size() == 10 && number(d.year, 4) && p < end && *p++ == '-' && number(d.month, 2) && p < end &&
                    *p++ == '-' && number(d.day, 2) && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
                    d.day <= days_in_month(d.year, d.month);
    if (!ok) throw usage_error("--" + option + " takes a date as YYYY-MM-DD, not '" + text + "'");
    return d;
}

} // namespace

bound_statement listing_select(const command_line& line) {
    bool any = false;
    auto text = [&](const char* name, std::string& box) {
        if (const std::string* v = line.value(name)) {
            box = *v;
            any = true;
        }
    };
    viewer_filter f;
    text("sample", f.sample_id);
    text("set", f.cal_name);
    text("mode", f.mode);
    text("hv", f.hv);
    text("p1-from", f.from_value_1);
    text("p1-to", f.to_value_1);
    text("p2-from", f.from_value_2);
    text("p2-to", f.to_value_2);
    if (const std::string* v = line.value("from")) f.from_date = parse_date("from", *v), any = true;
    if (const std::string* v = line.value("to")) f.to_date = parse_date("to", *v), any = true;

    if (!any) return base_select();
    clean_bounds(f);
    return filtered_select(f);
}

std::string database_path(const context& c) { return c.database_path(); }

void stop_if_interrupted(const context& c, const std::string& undone) {
    if (c.env.interrupted && c.env.interrupted->load()) throw interrupted_error("interrupted: " + undone);
}

viewer_grid listing(const context& c, const command_line& line, const std::string& undone) {
    viewer_grid grid;
    grid.add_row(viewer_headers);
    stream_results(database_path(c), listing_select(line), [&](const std::vector<std::string_view>& cells) {
        stop_if_interrupted(c, undone);
        grid.add_row(cells);
    });
    stop_if_interrupted(c, undone);
    return grid;
}

int cmd_export_xls(context& c, const command_line& line) {
    const std::string& file = line.positional.front();
    const viewer_grid grid = listing(c, line, file + " was not written");
    if (save_grid_as_xls(grid, file)) c.out << "file saved!\n";
    return exit_ok;
}

int cmd_report(context& c, const command_line& line) {
    const std::string& file = line.positional.front();
    const report_sources sources = c.report_sources_for(cur_measurment{});
    if (const std::string problem = template_problem(sources); !problem.empty()) {
        c.err << problem << "\n";
        return exit_error;
    }
    // The rows a report can hold, and not one more: a listing of any length costs no more memory.
    struct report_full {};
    std::vector<_r_results> rows;
    bool more = false;
    try {
        stream_results(database_path(c), listing_select(line), [&](const std::vector<std::string_view>& cells) {
            stop_if_interrupted(c, file + " was not written, no report number was used");
            if (rows.size() == report_row_capacity) {
                more = true;
                throw report_full{};
            }
            rows.push_back(viewer_report_row(cells));
        });
    } catch (const report_full&) {}
    stop_if_interrupted(c, file + " was not written, no report number was used");
    const report_text report = write_numbered_report(sources, std::move(rows), file);
    if (!report.error_text.empty()) {
        c.err << report.error_text << "\n";
        return exit_error;
    }
    if (more)
        c.err << "the listing has more rows than a report holds: the report has the first " << report_row_capacity
              << "\n";
    c.err << "report " << report.number << " written to " << file << "\n";
    return exit_ok;
}

} // namespace xkv::cli
