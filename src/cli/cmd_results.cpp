// Commands on the stored results: the viewer's listing, its spreadsheet and its report.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "results/report_output.h"
#include "results/viewer_query.h"
#include "results/xls_file.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <charconv>

namespace xkv::cli {

namespace {

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
    const bool ok = text.size() == 10 && number(d.year, 4) && p < end && *p++ == '-' && number(d.month, 2) &&
                    p < end && *p++ == '-' && number(d.day, 2) && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
                    d.day <= 31;
    if (!ok) throw usage_error("--" + option + " takes a date as YYYY-MM-DD, not '" + text + "'");
    return d;
}

// The viewer's listing for the filters given; the plain listing of the window's opening without any.
viewer_grid listing(context& c, const command_line& line) {
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

    const std::string database = resolve_program_path(c.dir, c.options.database);
    if (!any) return list_results(database, base_select());
    clean_bounds(f);
    return list_results(database, filtered_select(f));
}

} // namespace

int cmd_list(context& c, const command_line& line) {
    const viewer_grid grid = listing(c, line);
    for (std::size_t r = 0; r < grid.row_count(); ++r) write_tsv_row(c.out, grid.row(r));
    return exit_ok;
}

int cmd_export_xls(context& c, const command_line& line) {
    if (save_grid_as_xls(listing(c, line), line.positional.front())) c.out << "file saved!\n";
    return exit_ok;
}

int cmd_report(context& c, const command_line& line) {
    const viewer_grid grid = listing(c, line);
    const report_sources sources{resolve_program_path(c.dir, c.options.name), c.file(default_profile_file),
                                 c.profile.creator, cur_measurment{}};
    const report_text report = make_report(sources, viewer_report_rows(grid));
    if (!report.error_text.empty()) {
        c.err << report.error_text << "\n";
        return exit_error;
    }
    write_report_file(line.positional.front(), report.lines);
    c.err << "report " << report.number << " written to " << line.positional.front() << "\n";
    return exit_ok;
}

} // namespace xkv::cli
