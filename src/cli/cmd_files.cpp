// Commands on the program's files alone: the parameter sets, a template check, the update check.

#include "cli/commands.h"

#include "app/update_check.h"
#include "link/diagnostic_log.h"
#include "measurement/parameter_sets.h"
#include "results/t_report.h"
#include "settings/program_dir.h"

#include <string>

namespace xkv::cli {

int cmd_sets(context& c, const command_line&) {
    const auto names = parameter_set_names(c.file(calibration_file));
    for (const auto& name : names) c.out << name << "\n";
    if (names.empty())
        c.err << "no parameter set in " << c.file(calibration_file)
              << "\nmake one in the desktop program (menu \"Measurmment parameters\", NEW), or write the file as\n"
                 "man xkv4410-cli describes under PARAMETER SETS\n";
    return exit_ok;
}

int cmd_check_template(context& c, const command_line& line) {
    const std::string path =
        line.positional.empty() ? resolve_program_path(c.program_dir, c.options.name) : line.positional.front();
    const t_report report(path);
    c.out << (report.error_text.empty() ? "OK" : report.error_text) << "\n";
    return report.error_text.empty() ? exit_ok : exit_error;
}

int cmd_check_update(context& c, const command_line&) {
    const auto reply = http_get(update_url(c.options, menu_version_path));
    if (!reply) return exit_no_update;
    diagnostic_log log;
    update_notice notice;
    apply_version_reply(reply, program_version, log, notice);
    // The reply is the network's text: control and escape characters could drive the terminal.
    std::string shown = notice.visible ? notice.text : "up to date";
    std::erase_if(shown, [](char ch) { return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F; });
    c.out << shown << "\n";
    return exit_ok;
}

} // namespace xkv::cli
