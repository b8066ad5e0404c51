#include "cli/args.h"

namespace xkv::cli {

const std::string* command_line::value(const std::string& name) const {
    const auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
}

command_line parse_command_line(const std::vector<std::string>& args,
                                const std::map<std::string, command_syntax>& commands) {
    command_line line;
    std::size_t i = 0;
    if (i < args.size() && args[i] == "--dir") {
        if (i + 1 >= args.size()) throw usage_error("--dir needs a directory");
        line.dir = args[i + 1];
        i += 2;
    }
    if (i >= args.size()) throw usage_error("no command given");
    line.command = args[i++];
    const auto found = commands.find(line.command);
    if (found == commands.end()) throw usage_error("unknown command '" + line.command + "'");
    const command_syntax& syntax = found->second;

    bool options_ended = false;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (!options_ended && a == "--") {
            options_ended = true;
        } else if (!options_ended && a.size() > 2 && a.compare(0, 2, "--") == 0) {
            const std::string name = a.substr(2);
            if (syntax.flag_options.contains(name)) {
                line.flags.insert(name);
            } else if (syntax.value_options.contains(name)) {
                if (i + 1 >= args.size()) throw usage_error(a + " needs a value");
                if (line.values.contains(name)) throw usage_error(a + " given twice");
                line.values[name] = args[++i];
            } else {
                throw usage_error("unknown option " + a + " for " + line.command);
            }
        } else {
            line.positional.push_back(a);
        }
    }
    if (line.positional.size() < syntax.min_positional) throw usage_error(line.command + ": missing argument");
    if (line.positional.size() > syntax.max_positional)
        throw usage_error(line.command + ": unexpected argument '" + line.positional[syntax.max_positional] + "'");
    return line;
}

} // namespace xkv::cli
