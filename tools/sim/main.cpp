// xkv4410-sim: a simulated XKV 4410 on a pseudo-terminal. See --help.

#include "sim_options.h"
#include "sim_server.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    using namespace xkv::sim;
    const parse_result parsed = parse_options(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.help) {
        std::cout << usage_text();
        return 0;
    }
    if (!parsed.error.empty()) {
        std::cerr << "xkv4410-sim: " << parsed.error << "\n\n" << usage_text();
        return 2;
    }
    return run_server(parsed.options);
}
