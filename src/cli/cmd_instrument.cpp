// Commands that talk to the instrument directly: the device test and the debug console.

#include "cli/commands.h"

#include "link/debug_console.h"
#include "link/device_test.h"
#include "link/t_xkv.h"

namespace xkv::cli {

int cmd_test(context& c, const command_line&) {
    const std::string result = run_device_test(c.options);
    c.out << result << "\n";
    return result == t_xkv::no_answer ? exit_no_instrument : exit_ok;
}

int cmd_console(context& c, const command_line& line) {
    debug_console console;
    console.open(c.options);
    for (const auto& text : line.positional) console.send(text);
    console.close();
    for (const auto& entry : console.lines()) c.out << entry << "\n";
    return exit_ok;
}

} // namespace xkv::cli
