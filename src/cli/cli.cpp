#include "cli/cli.h"

#include "cli/commands.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <exception>
#include <map>

namespace xkv::cli {

const char* const help_text =
    "usage: xkv4410-cli [--dir DIR] COMMAND [ARGS]\n"
    "\n"
    "Runs the XKV 4410 program's jobs without a window. Settings come from DIR/ini/default.xkv and\n"
    "DIR/ini/program_opt.xkv (DIR: the program's own directory unless --dir is given); they are never\n"
    "written back, except the report counter.\n"
    "\n"
    "commands:\n"
    "  test                      device test; prints the instrument's reply (exit 3: no answer)\n"
    "  console TEXT...           sends each TEXT as the debug console does; prints its log\n"
    "  sets                      the parameter sets of ini/calibrations.cfg, one per line\n"
    "  measure --set NAME --sample ID --description TEXT [--preset S] [--quantity Q] [--units U]\n"
    "          [--count N] [--save] [--report FILE]\n"
    "                            one measurement series; rows as TSV on stdout, progress on stderr;\n"
    "                            Ctrl-C while counting stops the measurement and keeps it; Ctrl-C\n"
    "                            before the count starts cancels it (exit 4); no instrument: exit 3\n"
    "  list [--limits] [FILTERS] the stored results as TSV, row by row; --limits appends the\n"
    "                            decision threshold, detection limit and detection mark per channel\n"
    "  export-xls FILE [FILTERS] the listing as a spreadsheet file\n"
    "  export-csv FILE [FILTERS] the listing with its limits as CSV (UTF-8)\n"
    "  export-xlsx FILE [FILTERS] the listing with its limits as an .xlsx workbook\n"
    "  qc chi2 [FILTERS]         chi-square test of the counts of each series (counter modes)\n"
    "  chart COLUMN FILE.png [FILTERS]\n"
    "                            trend and control chart of a numeric column (e.g. p1, activity_l)\n"
    "  report FILE [FILTERS]     a numbered report of the listing\n"
    "  check-template [FILE]     checks a report template (default: the options' template)\n"
    "  check-update              compares the program's version with the update host's\n"
    "\n"
    "FILTERS: --sample S --mode M --set NAME --hv V --from YYYY-MM-DD --to YYYY-MM-DD\n"
    "         --p1-from X --p1-to X --p2-from X --p2-to X\n"
    "\n"
    "exit: 0 done, 1 error, 2 usage or setup check, 3 no instrument, 4 measurement failed,\n"
    "      5 no update reply\n";

namespace {

const std::set<std::string> filter_options = {"sample", "mode", "set", "hv", "from", "to",
                                              "p1-from", "p1-to", "p2-from", "p2-to"};

std::set<std::string> with_filters(std::set<std::string> extra) {
    extra.insert(filter_options.begin(), filter_options.end());
    return extra;
}

const std::map<std::string, command_syntax>& syntax() {
    static const std::map<std::string, command_syntax> commands = {
        {"test", {}},
        {"console", {{}, {}, 1, SIZE_MAX}},
        {"sets", {}},
        {"measure",
         {{"set", "sample", "description", "preset", "quantity", "units", "count", "report"}, {"save"}, 0, 0}},
        {"list", {with_filters({}), {"limits"}, 0, 0}},
        {"export-csv", {with_filters({}), {}, 1, 1}},
        {"export-xlsx", {with_filters({}), {}, 1, 1}},
        {"qc", {with_filters({}), {}, 1, 1}},
        {"chart", {with_filters({}), {}, 2, 2}},
        {"export-xls", {with_filters({}), {}, 1, 1}},
        {"report", {with_filters({}), {}, 1, 1}},
        {"check-template", {{}, {}, 0, 1}},
        {"check-update", {}},
    };
    return commands;
}

using command_fn = int (*)(context&, const command_line&);
const std::map<std::string, command_fn> handlers = {
    {"test", cmd_test},
    {"console", cmd_console},
    {"sets", cmd_sets},
    {"measure", cmd_measure},
    {"list", cmd_list},
    {"export-xls", cmd_export_xls},
    {"export-csv", cmd_export_csv},
    {"export-xlsx", cmd_export_xlsx},
    {"qc", cmd_qc},
    {"chart", cmd_chart},
    {"report", cmd_report},
    {"check-template", cmd_check_template},
    {"check-update", cmd_check_update},
};

} // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const environment& env) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << help_text;
        return args.empty() ? exit_usage : exit_ok;
    }
    command_line line;
    try {
        line = parse_command_line(args, syntax());
    } catch (const usage_error& e) {
        err << "xkv4410-cli: " << e.what() << "\n(see xkv4410-cli --help)\n";
        return exit_usage;
    }
    try {
        const std::string dir = line.dir ? *line.dir : program_directory(env.executable_dir);
        context c{
            {dir, read_profile(dir + default_profile_file), read_program_options(dir + program_options_file), {}},
            out, err, env};
        return handlers.at(line.command)(c, line);
    } catch (const usage_error& e) {
        err << "xkv4410-cli: " << e.what() << "\n";
        return exit_usage;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return exit_error;
    }
}

} // namespace xkv::cli
