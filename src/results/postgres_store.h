#pragma once
// The results store on a PostgreSQL server, through libpq: every value bound, answers streamed
// row by row, texts as the file gives them.

#include "results/results_store.h"

#include <memory>
#include <string>

namespace xkv {

// The URI as messages may show it: any password (user:password@, password=) taken out.
std::string without_password(const std::string& uri);
// Whether the URI carries a password.
bool has_password(const std::string& uri);
// The message for a URI that carries a password: where the password goes instead.
std::string password_refused_text(const std::string& uri);

// The table and its index on a server, as first use creates them.
extern const std::string server_create_table;
extern const char* const server_create_index;

// Connects and makes sure the table `results` and its index exist. A server that does not accept
// the connection, or stays silent in the middle of an answer, for `timeout_s` seconds is given up
// (the connection closed, so the server undoes an open transaction). Throws ESQLiteException
// with the server's reason.
std::unique_ptr<results_store> open_server_store(const std::string& uri, int timeout_s = default_server_timeout_s);

} // namespace xkv
