#include "results/spool.h"

#include "results/row_keys.h"
#include "results/save_results.h"
#include "results/sqlite_store.h"

#include <charconv>
#include <filesystem>

namespace xkv {

namespace {

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::string decimal_id(std::int64_t id) {
    char buffer[24];
    return {buffer, std::to_chars(buffer, buffer + sizeof buffer, id).ptr};
}

} // namespace

std::string spool_path(const std::string& program_dir) { return program_dir + "/results_spool.mdb"; }

void spool_run(const run_table& table, const std::vector<std::string>& keys, const std::string& spool,
               int busy_timeout_ms, const std::vector<save_hook>& hooks) {
    sqlite_store store(spool, busy_timeout_ms);
    save_results(table, store, keys, hooks);
}

std::size_t spooled_rows(const std::string& spool, int busy_timeout_ms) {
    if (!exists(spool)) return 0;
    sqlite_store store(spool, busy_timeout_ms);
    std::size_t rows = 0;
    store.query_each("SELECT count(*) FROM results", {}, [&rows](const std::vector<std::string_view>& cells) {
        rows = std::stoull(std::string(cells.at(0)));
    });
    return rows;
}

copy_outcome push_spool(const std::string& spool, results_store& target, int busy_timeout_ms,
                        const std::vector<carried_table>& carried) {
    if (!exists(spool)) return {};
    sqlite_store store(spool, busy_timeout_ms);
    std::vector<row_sent> sent;
    const copy_outcome outcome = copy_rows(
        store, target, base_select(),
        [&sent](const std::vector<row_sent>& rows) { sent.insert(sent.end(), rows.begin(), rows.end()); }, 500,
        carried_copies(carried));
    // Only the rows read above, each by its key: a run spooled meanwhile (perhaps under an id a
    // second push has just freed) waits for the next push. A row kept without a key goes by its id.
    results_store::transaction taken_out(store);
    store.create_when_absent(row_keys_table);
    for (const row_sent& row : sent) {
        store.execute(
            "DELETE FROM results WHERE id = ? AND (id IN (SELECT result_id FROM result_keys WHERE row_key = ?)"
            " OR id NOT IN (SELECT result_id FROM result_keys))",
            {decimal_id(row.source_id), row.key});
        store.execute("DELETE FROM result_keys WHERE row_key = ?", {row.key});
    }
    // What went with the rows goes out with them, so a later run under a freed id gets none of it.
    for (const carried_table& t : carried)
        if (store.has_table(t.table.name))
            store.execute("DELETE FROM " + t.table.name + " WHERE result_id NOT IN (SELECT id FROM results)");
    taken_out.commit();
    return outcome;
}

} // namespace xkv
