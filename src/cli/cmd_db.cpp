// "db": the store in use, the spool of runs that could not be stored, and copies between stores.

#include "cli/commands.h"

#include "results/postgres_store.h"
#include "results/spool.h"
#include "results/store_copy.h"

#include <filesystem>

namespace xkv::cli {

namespace {

std::string rows_text(std::size_t n) { return n == 1 ? "1 row" : std::to_string(n) + " rows"; }

bool existing_file(const std::string& location) {
    std::error_code ec;
    return !is_server_location(location) && std::filesystem::exists(location, ec);
}

// Two locations that name one store: one file under two names, or one server address.
bool same_store(const std::string& a, const std::string& b) {
    if (is_server_location(a) || is_server_location(b)) return a == b;
    std::error_code ec_a, ec_b, ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto path_a = std::filesystem::weakly_canonical(a, ec_a), path_b = std::filesystem::weakly_canonical(b, ec_b);
    return !ec_a && !ec_b && path_a == path_b;
}

std::string kind_of(const std::string& location) {
    return is_server_location(location) ? "PostgreSQL server " : "SQLite file ";
}

std::string already_there(std::size_t present) {
    if (present == 0) return "";
    return "; " + rows_text(present) + (present == 1 ? " was" : " were") + " there already";
}

// "N rows stay", as far as the spool can still be read.
std::string rows_left(const std::string& spool, int wait_ms) {
    try {
        const std::size_t left = spooled_rows(spool, wait_ms);
        return rows_text(left) + (left == 1 ? " stays" : " stay");
    } catch (const std::exception&) {
        return "the rows stay";
    }
}

void only_subcommand(const command_line& line) {
    if (line.positional.size() != 1) throw usage_error("db " + line.positional.front() + " takes no further arguments");
    if (!line.values.empty()) throw usage_error("db " + line.positional.front() + " takes no filters");
}

int db_status(context& c, const command_line& line) {
    only_subcommand(line);
    const std::string database = c.database_path();
    const std::string spool = spool_path(c.program_dir);
    c.out << "store\t" << kind_of(database) << store_shown(database) << "\n";
    c.out << "spool\t" << spool << "\n";
    c.out << "spooled rows\t" << spooled_rows(spool, c.read_only.busy_timeout_ms) << "\n";
    return exit_ok;
}

int db_push(context& c, const command_line& line) {
    only_subcommand(line);
    const std::string database = c.database_path();
    const std::string spool = spool_path(c.program_dir);
    if (existing_file(spool) && same_store(database, spool))
        throw std::runtime_error("the database is the spool itself (\"" + spool + "\"): choose another database");
    const int wait_ms = c.read_only.busy_timeout_ms;
    if (spooled_rows(spool, wait_ms) == 0) {
        c.out << "no rows wait in the spool\n";
        return exit_ok;
    }
    try {
        const copy_outcome pushed = push_spool(spool, *open_results_store(database, {wait_ms}), wait_ms);
        c.out << rows_text(pushed.copied) << " stored in \"" << store_shown(database) << "\""
              << already_there(pushed.present) << "\n";
    } catch (const std::exception& e) {
        c.err << e.what() << "\n"
              << rows_left(spool, wait_ms) << " in the spool \"" << spool << "\"; a push run again sends each once\n";
        return exit_error;
    }
    return exit_ok;
}

int db_copy(context& c, const command_line& line) {
    if (line.positional.size() != 3) throw usage_error("db copy needs SOURCE and TARGET");
    const std::string& source = line.positional[1];
    const std::string& target = line.positional[2];
    // Opening a file creates it: a mistyped source would copy nothing and leave an empty file behind.
    if (!is_server_location(source) && !existing_file(source))
        throw std::runtime_error("no database file \"" + source + "\"");
    if (same_store(source, target)) throw usage_error("SOURCE and TARGET are the same store");
    const bound_statement select = listing_select(line);
    const int wait_ms = c.read_only.busy_timeout_ms;
    const auto from = open_results_store(source, {wait_ms});
    const auto to = open_results_store(target, {wait_ms});
    const copy_outcome copied = copy_rows(*from, *to, select);
    c.out << rows_text(copied.copied) << " copied from \"" << from->name() << "\" to \"" << to->name() << "\""
          << already_there(copied.present) << "\n";
    return exit_ok;
}

} // namespace

std::string store_shown(const std::string& location) {
    return is_server_location(location) ? without_password(location) : location;
}

int cmd_db(context& c, const command_line& line) {
    const std::string& what = line.positional.front();
    if (what == "status") return db_status(c, line);
    if (what == "push") return db_push(c, line);
    if (what == "copy") return db_copy(c, line);
    throw usage_error("db takes status, push or copy, not '" + what + "'");
}

} // namespace xkv::cli
