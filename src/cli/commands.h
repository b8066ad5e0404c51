#pragma once
// The commands of xkv4410-cli; each returns its exit code and throws the core's errors.

#include "app/session.h"
#include "cli/args.h"
#include "cli/cli.h"
#include "cli/filters.h"
#include "measurement/measurement_setup.h"
#include "measurement/run_engine.h"
#include "results/viewer_query.h"
#include "settings/options.h"
#include "settings/program_options.h"

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace xkv::cli {

// The session as the desktop program reads it at start-up (its program directory without a
// trailing "/"), and where the output goes.
struct context : session {
    std::ostream& out;
    std::ostream& err;
    const environment& env;
};

// The operator interrupted (Ctrl-C, a kill, a closed terminal): what() says what was left undone.
class interrupted_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// Throws interrupted_error once the operator interrupted; `undone` names what is then not complete.
void stop_if_interrupted(const context& c, const std::string& undone);

std::string database_path(const context& c);
// The listing with its header row; an interrupt stops it (`undone` as above).
viewer_grid listing(const context& c, const command_line& line, const std::string& undone);

// The steps of "measure" that the lab's own measurements share. The parameter set of the file
// that `wanted` names (any letter case; usage_error for none). START as the setup dialog checks it,
// and opening the run with its progress on stderr: each returns an exit code if the run ends there.
// count() counts until the series ends or an interrupt stops it; true when an interrupt cut a count short.
std::string chosen_set(measurement_setup& setup, const std::string& wanted, const std::string& calibration_path);
std::optional<int> press_start(context& c, measurement_setup& setup);
std::optional<int> open_run(context& c, run_engine& engine);
bool count(context& c, run_engine& engine);

int cmd_test(context& c, const command_line& line);
int cmd_console(context& c, const command_line& line);
int cmd_sets(context& c, const command_line& line);
int cmd_measure(context& c, const command_line& line);
int cmd_list(context& c, const command_line& line);
int cmd_export_xls(context& c, const command_line& line);
int cmd_report(context& c, const command_line& line);
int cmd_export_csv(context& c, const command_line& line);
int cmd_export_xlsx(context& c, const command_line& line);
int cmd_qc(context& c, const command_line& line);
int cmd_qc_check(context& c, const command_line& line); // qc background, source, status
int cmd_plateau(context& c, const command_line& line);
int cmd_chart(context& c, const command_line& line);
int cmd_check_template(context& c, const command_line& line);
int cmd_check_update(context& c, const command_line& line);
int cmd_calibrate(context& c, const command_line& line);
int cmd_paths(context& c, const command_line& line);
int cmd_db(context& c, const command_line& line); // db status, push, copy

// The store as messages name it: a file's path, or a server's URI without any password.

// The chart module the `chart` command loads: beside the executable in a build tree or portable copy,
// in the installed library folder otherwise.
std::string chart_module_path(const std::string& executable_dir);
// The line of --help that names the program directory as this executable uses it.
std::string program_directory_help(const std::string& executable_dir);

// One command: how --help shows it, what its command line may hold, and what runs it.
struct command {
    std::string name;
    std::vector<std::string> synopsis; // its arguments; further lines align under the first
    std::vector<std::string> help;     // what it does, one line each
    command_syntax syntax;
    int (*handler)(context& c, const command_line& line);
};

// Every command, in the order --help lists them.
const std::vector<command>& command_table();

} // namespace xkv::cli
