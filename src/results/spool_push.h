#pragma once
// A push of the spool to the store in use, with the lines an operator reads of it: the CLI's
// "db push" prints them, the desktop shows them, so both say the same.

#include "results/store_copy.h"
#include <cstddef>

#include <optional>
#include <string>
#include <vector>

namespace xkv {

// The store as messages name it: the file path, or the server's URI without any password.
std::string store_shown(const std::string& location);

// Two locations that name one store: one file under two names, or one server address.
bool same_store(const std::string& a, const std::string& b);

// "1 row", "3 rows"; and "; 2 rows were there already" (empty for none), for copies and pushes.
std::string rows_text(std::size_t n);
std::string already_there_text(std::size_t present);

struct push_report {
    bool stored = true; // false: the store failed, and what was not taken stays in the spool
    std::string text;   // what happened, one line per sentence, without a final newline
};

// Sends the spool's rows to `database`, each once. Throws std::runtime_error when the database is
// the spool itself; any other failure is the report's.
push_report push_spool_report(const std::string& spool, const std::string& database, int busy_timeout_ms,
                              const std::vector<carried_table>& carried = {});

// The reminder at start when rows wait in the spool; nothing when none do or it can't be read.
std::optional<std::string> spool_reminder(const std::string& spool, int busy_timeout_ms);

} // namespace xkv
