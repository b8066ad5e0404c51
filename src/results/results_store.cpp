#include "results/results_store.h"

#include "results/postgres_store.h"
#include "results/sqlite_store.h"
#include "settings/ascii_case.h"

#include <filesystem>

namespace xkv {

text_table results_store::query(std::string_view sql, const std::vector<std::string>& values) {
    text_table rows;
    query_each(sql, values, [&rows](const std::vector<std::string_view>& cells) { rows.add_row(cells); });
    return rows;
}

bool results_store::has_table(std::string_view name) {
    const std::string lower = ascii_lower(name);
    const char* sql = dialect() == store_dialect::sqlite
                          ? "SELECT name FROM sqlite_master WHERE type = 'table' AND lower(name) = ?"
                          : "SELECT table_name FROM information_schema.tables "
                            "WHERE table_schema = current_schema() AND lower(table_name) = ?";
    bool found = false;
    query_each(sql, {lower}, [&found](const std::vector<std::string_view>&) { found = true; });
    return found;
}

void results_store::create_when_absent(const side_table& table) {
    std::optional<transaction> own;
    if (!in_transaction_) own.emplace(*this);
    lock_for_creation(table.name);
    if (!has_table(table.name))
        for (const std::string& statement : dialect() == store_dialect::sqlite ? table.sqlite : table.postgresql)
            execute(statement);
    if (own) own->commit();
}

results_store::transaction::transaction(results_store& store, std::string_view shown) : store_(store) {
    if (store_.in_transaction_) throw std::logic_error("results_store: a transaction is already open");
    store_.begin(shown);
    store_.in_transaction_ = true;
}

results_store::transaction::~transaction() {
    if (!open_) return;
    store_.rollback();
    store_.in_transaction_ = false;
}

void results_store::transaction::commit() {
    store_.commit();
    store_.in_transaction_ = false;
    open_ = false;
}

bool is_server_location(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::unique_ptr<results_store> open_results_store(const std::string& location, const store_options& options) {
    if (is_server_location(location)) return open_server_store(location, options.server_timeout_s);
    return std::make_unique<sqlite_store>(location, options.busy_timeout_ms);
}

std::unique_ptr<results_store> open_existing_store(const std::string& location, const store_options& options) {
    std::error_code ec;
    if (!is_server_location(location) && !std::filesystem::exists(location, ec)) return nullptr;
    return open_results_store(location, options);
}

} // namespace xkv
