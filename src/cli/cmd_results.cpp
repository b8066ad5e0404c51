// Commands on the stored results: the viewer's listing, its spreadsheet and its report.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "results/iso11929.h"
#include "results/report_output.h"
#include "results/viewer_query.h"
#include "results/xls_file.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

namespace xkv::cli {

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
