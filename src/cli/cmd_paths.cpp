// Where the program's files are: the `paths` command and the program directory line of --help.

#include "cli/commands.h"

#include "measurement/parameter_sets.h"
#include "results/spool.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <cstdlib>

namespace xkv::cli {

namespace {

// Where the desktop program keeps its window sizes (Qt's per-user configuration folder).
std::string window_layout_file() {
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/')
        return std::string(xdg) + "/xkv4410/windows.conf";
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/xkv4410/windows.conf";
}

std::string layout_text(const program_location& where) {
    return where.installed ? "the per-user folder of the installed programs"
                           : "beside the programs: a build tree or a portable copy";
}

} // namespace

std::string chart_module_path(const std::string& executable_dir) {
    return locate_program_directory(executable_dir).modules + "/xkv4410-chart.so";
}

std::string program_directory_help(const std::string& executable_dir) {
    const program_location where = locate_program_directory(executable_dir);
    return "\nprogram directory: " + where.dir + "\n  (" + layout_text(where) +
           "; `xkv4410-cli paths` lists the files in use)\n";
}

int cmd_paths(context& c, const command_line& line) {
    const program_location where = locate_program_directory(c.env.executable_dir);
    auto row = [&](const char* what, const std::string& path) { c.out << what << "\t" << path << "\n"; };
    row("program directory", c.program_dir);
    row("layout", line.dir ? "--dir" : layout_text(where));
    row("default profile", c.file(default_profile_file));
    row("program options", c.file(program_options_file));
    row("parameter sets", c.file(calibration_file));
    row("database", database_path(c));
    row("spool", spool_path(c.program_dir));
    row("report template", resolve_program_path(c.program_dir, c.options.name));
    row("port", "COM" + std::to_string(c.options.port) + " -> " +
                    port_device_path(c.options.port_devices, "COM" + std::to_string(c.options.port)));
    if (where.installed) row("shipped files", where.shared_data);
    row("chart module", chart_module_path(c.env.executable_dir));
    row("window layout", window_layout_file());
    return exit_ok;
}

} // namespace xkv::cli
