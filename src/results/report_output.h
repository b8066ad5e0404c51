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
#include "results/text_table.h"
#include "settings/ui_services.h"

#include <ctime>
#include <string>
#include <vector>

namespace xkv {

// Everything a report needs beside its rows.
struct report_sources {
    std::string template_path;          // the program options' template name, resolved
    std::string counter_path;           // <program dir>/ini/default.xkv, which keeps the report counter
    std::string creator;                // the profile's report creator
    cur_measurment setup;               // its sample ID and description head the report
    double limits_k = default_limits_k; // k of the characteristic limits in the report
};

// A generated report, or the template's check message (then no number was used).
struct report_text {
    std::string error_text;
    std::string number;
    std::vector<std::string> lines;
};

// Loads the template; when it passes the checks, advances the counter and generates the report
// with today's date. Throws file_error for an unreadable template, write_error when the counter
// cannot be stored, conversion_error when the next number is out of range.
report_text make_report(const report_sources& sources, std::vector<_r_results> rows);

// Section "TEMPLATE", key "number" (1 when absent) plus one: returns the new number's text and
// stores the number made of its digits (-5 gives "-4" and stores 4).
std::string advance_report_counter(const std::string& counter_path);

// The operator's short date ("%x" under the process's LC_TIME).
std::string short_date(std::time_t when);
std::string today_short_date();

// The run table's rows up to the first empty sample ID.
std::vector<_r_results> run_report_rows(const run_table& table);
// The viewer's listing: row 0 the headers, then one row per result, cells in the viewer's column
// order. Every listed row becomes a report row; missing cells read as empty.
std::vector<_r_results> viewer_report_rows(const text_table& listing);

// Creates or replaces the file with each line followed by CR LF; a failed write leaves an earlier
// file as it was. Throws file_error.
void write_report_file(const std::string& path, const std::vector<std::string>& lines);

enum class report_result {
    template_error, // the check message was shown; no number used, nothing written
    cancelled,      // the number was used, nothing written
    written,        // written and opened
    open_failed,    // written; the desktop could not open it and the warning was shown
};

// The "PRINT REPORT" and viewer "Report" actions: make the report, ask for the file ("report
// file|*.txt", extension "txt"), write it and open it. Messages go through `ui`; errors of the
// file layer, counter and conversions are thrown as make_report and write_report_file throw them.
report_result report_from_run(const run_table& table, const report_sources& sources, ui_services& ui);
report_result report_from_viewer(const text_table& listing, const report_sources& sources, ui_services& ui);

} // namespace xkv
