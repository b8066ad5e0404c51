// The commands of xkv4410-cli: --help, the command line checks and the dispatch all read this table.

#include "cli/commands.h"

#include <cstdint>

namespace xkv::cli {

namespace {

std::set<std::string> with_filters(std::set<std::string> extra) {
    extra.merge(filter_option_names());
    return extra;
}

} // namespace

const std::vector<command>& command_table() {
    static const std::vector<command> commands = {
        {"test", {}, {"device test; prints the instrument's reply (exit 3: no answer)"}, {}, cmd_test},
        {"console",
         {"TEXT..."},
         {"sends each TEXT as the debug console does; prints its log"},
         {{}, {}, 1, SIZE_MAX},
         cmd_console},
        {"sets", {}, {"the parameter sets of ini/calibrations.cfg, one per line"}, {}, cmd_sets},
        {"measure",
         {"--set NAME --sample ID --description TEXT [--preset S] [--quantity Q] [--units U]",
          "[--count N] [--save] [--report FILE]"},
         {"one measurement series; rows as TSV on stdout, progress on stderr;",
          "Ctrl-C while counting stops the measurement and keeps it; Ctrl-C",
          "before the count starts cancels it (exit 4); no instrument: exit 3;",
          "a run --save cannot store is kept in the spool (exit 6)"},
         {{"set", "sample", "description", "preset", "quantity", "units", "count", "report"}, {"save"}, 0, 0},
         cmd_measure},
        {"calibrate",
         {"efficiency --set NAME --channel alpha|beta --activity A --u-activity U",
          "--reference-date YYYY-MM-DD --half-life-years T [--nuclide N] [--preset S] [--apply]",
          "crosstalk --set NAME --source alpha|beta [--nuclide N] [--preset S] [--apply]", "list [--set NAME]"},
         {"calibrates a set from a standard counted as measure counts (or, instead,",
          "from --counts N --time T, --counts NA,NB for crosstalk, [--measured-date D]);",
          "keeps a new version of the calibration and with --apply writes it into the", "set; list: every version"},
         {{"set", "channel", "source", "activity", "u-activity", "reference-date", "half-life-years", "nuclide",
           "preset", "counts", "time", "measured-date"},
          {"apply"},
          1,
          1},
         cmd_calibrate},
        {"list",
         {"[--limits] [--lab] [FILTERS]"},
         {"the stored results as TSV, row by row; --limits appends the",
          "decision threshold, detection limit and detection mark per channel;",
          "--lab the lab result per channel (y, u(y), y*, y#, best estimate, its u,",
          "coverage interval, detection) and the calibrations the row used"},
         {with_filters({}), {"limits", "lab"}, 0, 0},
         cmd_list},
        {"export-xls",
         {"FILE [FILTERS]"},
         {"the listing as a spreadsheet file"},
         {with_filters({}), {}, 1, 1},
         cmd_export_xls},
        {"export-csv",
         {"FILE [FILTERS]"},
         {"the listing with its limits and lab results as CSV (UTF-8)"},
         {with_filters({}), {}, 1, 1},
         cmd_export_csv},
        {"export-xlsx",
         {"FILE [FILTERS]"},
         {"the listing with its limits and lab results as an .xlsx workbook"},
         {with_filters({}), {}, 1, 1},
         cmd_export_xlsx},
        {"qc",
         {"chi2 [FILTERS]", "background --set NAME [--preset S] [--count N]",
          "source --set NAME --source LABEL --activity A --reference-date YYYY-MM-DD",
          "       --half-life-years T [--channel alpha|beta] [--preset S] [--count N]", "status"},
         {"chi2: chi-square test of the counts of each series (counter modes);",
          "background, source: the daily check counted as measure counts (or",
          "--counts NA,NB --time T [--counter NAME] read elsewhere), judged and",
          "stored (exit 7: fail); status: last verdicts, and whether QC is current"},
         {with_filters({"source", "activity", "reference-date", "half-life-years", "channel", "preset", "count",
                        "counts", "time", "counter"}),
          {},
          1,
          1},
         cmd_qc},
        {"plateau",
         {"--supply 1|2 [--channel alpha|beta] --from V1 --to V2 --step S --preset T", "[--max-slope X] [--png FILE]"},
         {"high-voltage plateau: one count per voltage, then the profile's voltages",
          "again; the table on stdout, a plateau record stored"},
         {{"supply", "channel", "from", "to", "step", "preset", "max-slope", "png"}, {}, 0, 0},
         cmd_plateau},
        {"chart",
         {"COLUMN FILE.png [FILTERS]"},
         {"trend and control chart of a numeric column (e.g. p1, activity_l)"},
         {with_filters({}), {}, 2, 2},
         cmd_chart},
        {"report", {"FILE [FILTERS]"}, {"a numbered report of the listing"}, {with_filters({}), {}, 1, 1}, cmd_report},
        {"db",
         {"status", "push", "copy SOURCE TARGET [FILTERS]"},
         {"status: the store in use and how many rows wait in the spool (runs",
          "measure --save could not store); push: sends them to the store; copy:",
          "the rows FILTERS find in SOURCE into TARGET (each a file or a server",
          "URI), keeping their time stamps; a row pushed or copied before is", "never stored twice"},
         {with_filters({}), {}, 1, 3},
         cmd_db},
        {"check-template",
         {"[FILE]"},
         {"checks a report template (default: the options' template)"},
         {{}, {}, 0, 1},
         cmd_check_template},
        {"check-update", {}, {"compares the program's version with the update host's"}, {}, cmd_check_update},
        {"paths", {}, {"the folders and files in use, one per line"}, {}, cmd_paths},
    };
    return commands;
}

} // namespace xkv::cli
