#include "cli/man_page.h"

#include "cli/cli.h"
#include "cli/commands.h"

#include <sstream>

namespace xkv::cli {

std::string roff_escape(const std::string& text) {
    std::string out;
    for (char ch : text) {
        if (ch == '\\')
            out += "\\e";
        else if (ch == '-')
            out += "\\-";
        else
            out += ch;
    }
    if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out.insert(0, "\\&");
    return out;
}

std::string man_page_commands() {
    std::string page = ".SH COMMANDS\n";
    for (const command& cmd : command_table()) {
        page += ".TP\n\\fB" + roff_escape(cmd.name) + "\\fR";
        for (const std::string& line : cmd.synopsis) page += " " + roff_escape(line);
        page += "\n";
        for (const std::string& line : cmd.help) page += roff_escape(line) + "\n";
    }
    page += ".SH FILTERS AND EXIT STATUS\n.nf\n";
    std::istringstream footer(help_footer());
    for (std::string line; std::getline(footer, line);)
        if (!line.empty()) page += roff_escape(line) + "\n";
    return page + ".fi\n";
}

} // namespace xkv::cli
