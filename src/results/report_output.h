#pragma once
// Numbered text reports of result rows: the rows of a run or the rows listed in the database viewer,
// expanded through the template, written with CR LF line ends and opened with the desktop's handler.
//
// The desktop actions (report_from_run, report_from_viewer) ask for the file and open it through
// ui_services; the pieces beneath them (make_report, write_report_file) let a caller without a
// desktop write a report into a file it names.

#include "measurement/cur_measurment.h"
#include "measurement/r_results.h"
#include "results/iso11929.h"
#include "results/row_extras.h"
#include "results/text_table.h"
#include "settings/ui_services.h"

#include <cstddef>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// Everything a report needs beside its rows.
struct report_sources {
    std::string template_path;                    // the program options' template name, resolved
    std::string counter_path;                     // <program dir>/ini/default.xkv, which keeps the report counter
    std::string creator;                          // the profile's report creator
    cur_measurment setup;                         // its sample ID and description head the report
    double limits_k = default_limits_k;           // k of the characteristic limits in the report
    std::shared_ptr<row_extras> extras = nullptr; // the lab's values of the rows, when known
};

// A generated report, or the template's check message (then no number was used).
struct report_text {
    std::string error_text;
    std::string number;
    std::vector<std::string> lines;
};

// The rows a report holds at most; rows listed beyond them are left out.
inline constexpr std::size_t report_row_capacity = 201;

// The template's check message; empty when it may be generated. Throws file_error for an
// unreadable template.
std::string template_problem(const report_sources& sources);

// The report with the given number and today's date; the counter is not touched. Throws file_error
// for an unreadable template.
report_text make_report(const report_sources& sources, std::vector<_r_results> rows, const std::string& number);

// A numbered report written to `path`: with the counter locked against other reports, the next
// number is taken, the report generated with it and written, and only then the number stored, so
// a report that fails (or is never written) uses no number and two reports never share one. A
// template problem comes back in error_text with nothing written and no number used. Throws
// file_error (template, report file, a counter held too long), write_error (the counter cannot be
// stored; the report file is then left as it was) and conversion_error (number out of range).
report_text write_numbered_report(const report_sources& sources, std::vector<_r_results> rows, const std::string& path);

// Section "TEMPLATE", key "number" (1 when absent) plus one: returns the new number's text and
// stores the number made of its digits (-5 gives "-4" and stores 4), under the counter's lock.
std::string advance_report_counter(const std::string& counter_path);

// The operator's short date ("%x" under the process's LC_TIME).
std::string short_date(std::time_t when);
std::string today_short_date();

// The run table's rows up to the first empty sample ID.
std::vector<_r_results> run_report_rows(const run_table& table);
// The viewer's listing: row 0 the headers, then one row per result, cells in the viewer's column
// order. The first report_row_capacity listed rows become report rows; missing cells read as empty.
std::vector<_r_results> viewer_report_rows(const text_table& listing);
// One listing row (cells in the viewer's column order) as a report row.
_r_results viewer_report_row(const std::vector<std::string_view>& cells);

// Creates or replaces the file with each line followed by CR LF; a failed write leaves an earlier
// file as it was. Throws file_error.
void write_report_file(const std::string& path, const std::vector<std::string>& lines);

enum class report_result {
    template_error, // the check message was shown; no number used, nothing written
    cancelled,      // nothing written, no number used
    written,        // written and opened
    open_failed,    // written; the desktop could not open it and the warning was shown
};

// The "PRINT REPORT" and viewer "Report" actions: check the template, ask for the file ("report
// file|*.txt", extension "txt"), write the numbered report and open it. Messages go through `ui`; errors of the
// file layer, counter and conversions are thrown as make_report and write_report_file throw them.
report_result report_from_run(const run_table& table, const report_sources& sources, ui_services& ui);
report_result report_from_viewer(const text_table& listing, const report_sources& sources, ui_services& ui);

} // namespace xkv
