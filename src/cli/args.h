#pragma once
// The command line of xkv4410-cli: [--dir DIR] COMMAND [ARGS...], options as "--name value" pairs or
// bare flags, named per command.

#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace xkv::cli {

// A command line that does not fit its command; the text says what is wrong.
class usage_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct command_line {
    std::optional<std::string> dir; // --dir DIR before the command
    std::string command;
    std::vector<std::string> positional;       // arguments that are not options
    std::map<std::string, std::string> values; // --name value
    std::set<std::string> flags;               // --name

    const std::string* value(const std::string& name) const;
    bool flag(const std::string& name) const { return flags.contains(name); }
};

// What a command accepts: options that take a value, bare flags, and how many positional arguments.
struct command_syntax {
    std::set<std::string> value_options;
    std::set<std::string> flag_options;
    std::size_t min_positional = 0;
    std::size_t max_positional = 0;
};

// Splits argv (without the program name). Throws usage_error.
command_line parse_command_line(const std::vector<std::string>& args,
                                const std::map<std::string, command_syntax>& commands);

} // namespace xkv::cli
