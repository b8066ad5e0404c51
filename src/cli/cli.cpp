#include "cli/cli.h"

#include "cli/commands.h"
#include "cli/filters.h"
#include "settings/program_dir.h"

#include <algorithm>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>

namespace xkv::cli {

namespace {

const char* const help_head =
    "usage: xkv4410-cli [--dir DIR] COMMAND [ARGS]\n"
    "\n"
    "Runs the XKV 4410 program's jobs without a window. Settings come from DIR/ini/default.xkv and\n"
    "DIR/ini/program_opt.xkv (DIR: the program directory named below unless --dir is given); they are never\n"
    "written back, except the report counter.\n"
    "\n"
    "commands:\n";

// The FILTERS lines fit a terminal of 80 columns; a line that goes on starts under the first filter.
constexpr std::size_t filters_width = 80;

std::string filters_help() {
    const std::string lead = "FILTERS: ";
    std::string text;
    std::string line = lead;
    for (const filter_option& filter : filter_options) {
        const std::string usage = filter_usage(filter);
        const bool first_on_line = line.size() == lead.size();
        if (!first_on_line && line.size() + 1 + usage.size() > filters_width) {
            text += line + "\n";
            line = std::string(lead.size(), ' ') + usage;
        } else {
            line += (first_on_line ? "" : " ") + usage;
        }
    }
    return text + line + "\n";
}

// "exit: 0 done, 1 error, ...", going on in the next line where a text says so.
std::string exit_codes_help() {
    const std::string lead = "exit: ";
    std::string text = lead;
    for (const exit_code_text& row : exit_code_texts) {
        if (text.size() > lead.size()) text += ", ";
        text += std::to_string(row.code) + " ";
        for (const char ch : row.text) text += ch == '\n' ? "\n" + std::string(lead.size(), ' ') : std::string(1, ch);
    }
    return text + "\n";
}

// Where the help lines of the commands start; a synopsis that reaches past it has lines of its own.
constexpr std::size_t help_column = 28;

// A command's lines in --help: its help beside a short one-line synopsis, else below the synopsis.
std::string command_help(const command& cmd) {
    const std::string indent = "  ";
    std::string first = indent + cmd.name;
    if (!cmd.synopsis.empty()) first += " " + cmd.synopsis.front();
    std::string text;
    std::size_t help_line = 0;
    const bool beside = cmd.synopsis.size() <= 1 && first.size() <= help_column && !cmd.help.empty();
    if (beside) {
        first.resize(std::max(help_column, first.size() + 1), ' ');
        text = first + cmd.help.front() + "\n";
        help_line = 1;
    } else {
        text = first + "\n";
        for (std::size_t i = 1; i < cmd.synopsis.size(); ++i)
            text += indent + std::string(cmd.name.size() + 1, ' ') + cmd.synopsis[i] + "\n";
    }
    for (; help_line < cmd.help.size(); ++help_line) text += std::string(help_column, ' ') + cmd.help[help_line] + "\n";
    return text;
}

const std::map<std::string, command_syntax>& syntax() {
    static const std::map<std::string, command_syntax> commands = [] {
        std::map<std::string, command_syntax> by_name;
        for (const command& cmd : command_table()) by_name.emplace(cmd.name, cmd.syntax);
        return by_name;
    }();
    return commands;
}

int dispatch(context& c, const command_line& line) {
    for (const command& cmd : command_table())
        if (cmd.name == line.command) return cmd.handler(c, line);
    throw std::logic_error("no handler for " + line.command);
}

} // namespace

std::string help_footer() { return "\n" + filters_help() + "\n" + exit_codes_help(); }

std::string help_text() {
    std::string text = help_head;
    for (const command& cmd : command_table()) text += command_help(cmd);
    return text + help_footer();
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const environment& env) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        out << help_text() << program_directory_help(env.executable_dir);
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
        context c{session::read(dir), out, err, env};
        return dispatch(c, line);
    } catch (const usage_error& e) {
        err << "xkv4410-cli: " << e.what() << "\n";
        return exit_usage;
    } catch (const interrupted_error& e) {
        err << e.what() << "\n";
        return exit_interrupted;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return exit_error;
    }
}

} // namespace xkv::cli
