#pragma once
// Whether SAVE will be able to write the results file, asked before anything is counted so that
// the operator learns it at START and not after the count.

#include <string>

namespace xkv {

// Why the results file at `location` cannot be written: its folder is missing or takes no new file
// (SQLite keeps its journal beside the file), or the file is read-only or no regular file. Empty
// when it can be written, and for a server, whose faults show at SAVE.
std::string store_write_problem(const std::string& location);

// The operator's message for a problem of store_write_problem: the reason first.
std::string store_not_writable_message(const std::string& problem, const std::string& location);

} // namespace xkv
