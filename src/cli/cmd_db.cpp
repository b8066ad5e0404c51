// "db": the store in use, the spool of runs that could not be stored, and copies between stores.

#include "cli/commands.h"

#include "lab/calibrations_in_copy.h"
#include "lab/qc_marks.h"
#include "results/postgres_store.h"
#include "results/spool.h"
#include "results/spool_push.h"
#include "results/store_copy.h"

#include <filesystem>

namespace xkv::cli {

namespace {

bool existing_file(const std::string& location) {
    std::error_code ec;
    return !is_server_location(location) && std::filesystem::exists(location, ec);
}

std::string kind_of(const std::string& location) {
    return is_server_location(location) ? "PostgreSQL server " : "SQLite file ";
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
    const push_report pushed = push_spool_report(spool_path(c.program_dir), c.database_path(),
                                                 c.read_only.busy_timeout_ms, lab_carried_tables());
    (pushed.stored ? c.out : c.err) << pushed.text << "\n";
    return pushed.stored ? exit_ok : exit_error;
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
    copy_companions companions = carried_copies(lab_carried_tables());
    companions.push_back(std::make_unique<calibrations_in_copy>()); // each row keeps its calibrations' trace
    const copy_outcome copied = copy_rows(*from, *to, select, {}, 500, companions);
    c.out << rows_text(copied.copied) << " copied from \"" << from->name() << "\" to \"" << to->name() << "\""
          << already_there_text(copied.present) << "\n";
    return exit_ok;
}

} // namespace

int cmd_db(context& c, const command_line& line) {
    const std::string& what = line.positional.front();
    if (what == "status") return db_status(c, line);
    if (what == "push") return db_push(c, line);
    if (what == "copy") return db_copy(c, line);
    throw usage_error("db takes status, push or copy, not '" + what + "'");
}

} // namespace xkv::cli
