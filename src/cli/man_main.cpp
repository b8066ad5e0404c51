// Prints the commands section of the xkv4410-cli manual page; the build puts it between the page's
// head and the sections the programs share.

#include "cli/man_page.h"

#include <iostream>

int main() {
    std::cout << xkv::cli::man_page_commands();
    return std::cout ? 0 : 1;
}
