#pragma once
// The commands section of the xkv4410-cli manual page, written from the command table that --help
// reads, so the two never tell different stories.

#include <string>

namespace xkv::cli {

// Text made safe for roff: backslashes, minus signs and a leading control character escaped.
std::string roff_escape(const std::string& text);

// ".SH COMMANDS" with one entry per command, then the filters and exit codes as --help shows them.
std::string man_page_commands();

} // namespace xkv::cli
