#include "results/spool_push.h"

#include "results/postgres_store.h"
#include "results/results_store.h"
#include "results/spool.h"

#include <filesystem>
#include <stdexcept>

namespace xkv {

namespace {

bool existing_file(const std::string& location) {
    std::error_code ec;
    return !is_server_location(location) && std::filesystem::exists(location, ec);
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

} // namespace

std::string rows_text(std::size_t n) { return n == 1 ? "1 row" : std::to_string(n) + " rows"; }

std::string already_there_text(std::size_t present) {
    if (present == 0) return "";
    return "; " + rows_text(present) + (present == 1 ? " was" : " were") + " there already";
}

std::string store_shown(const std::string& location) {
    return is_server_location(location) ? without_password(location) : location;
}

bool same_store(const std::string& a, const std::string& b) {
    if (is_server_location(a) || is_server_location(b)) return a == b;
    std::error_code ec_a, ec_b, ec;
    if (std::filesystem::equivalent(a, b, ec)) return true;
    const auto path_a = std::filesystem::weakly_canonical(a, ec_a), path_b = std::filesystem::weakly_canonical(b, ec_b);
    return !ec_a && !ec_b && path_a == path_b;
}

push_report push_spool_report(const std::string& spool, const std::string& database, int wait_ms,
                              const std::vector<carried_table>& carried) {
    if (existing_file(spool) && same_store(database, spool))
        throw std::runtime_error("the database is the spool itself (\"" + spool + "\"): choose another database");
    if (spooled_rows(spool, wait_ms) == 0) return {true, "no rows wait in the spool"};
    try {
        const copy_outcome pushed = push_spool(spool, *open_results_store(database, {wait_ms}), wait_ms, carried);
        return {true, rows_text(pushed.copied) + " stored in \"" + store_shown(database) + "\"" +
                          already_there_text(pushed.present)};
    } catch (const std::exception& e) {
        return {false, std::string(e.what()) + "\n" + rows_left(spool, wait_ms) + " in the spool \"" + spool +
                           "\"; a push run again sends each once"};
    }
}

std::optional<std::string> spool_reminder(const std::string& spool, int wait_ms) {
    try {
        const std::size_t waiting = spooled_rows(spool, wait_ms);
        if (waiting == 0) return std::nullopt;
        return rows_text(waiting) + (waiting == 1 ? " waits" : " wait") + " in the spool \"" + spool +
               "\": DataBase > Push Spooled Rows stores them in the database";
    } catch (const std::exception&) {
        return std::nullopt; // a spool that can't be read is reported by the push itself
    }
}

} // namespace xkv
