#include "results/sqlite_store.h"

#include "results/save_results.h"

namespace xkv {

sqlite_store::sqlite_store(const std::string& path, int busy_timeout_ms) : path_(path), db_(path, busy_timeout_ms) {}

void sqlite_store::query_each(std::string_view sql, const std::vector<std::string>& values,
                              const store_row_handler& row) {
    db_.query_each(sql, values, row);
}

void sqlite_store::execute(std::string_view sql, const std::vector<std::string>& values) {
    // Through query, which binds: its errors are the ones a statement of the operator's gets.
    db_.query_each(sql, values, [](const std::vector<std::string_view>&) {});
}

std::int64_t sqlite_store::insert_result(const std::vector<std::string>& values, const std::optional<std::string>& ts) {
    if (!ts) {
        db_.query(results_insert, values);
    } else {
        std::vector<std::string> with_ts = values;
        with_ts.insert(with_ts.begin(), *ts);
        db_.query(results_insert_with_ts, with_ts);
    }
    return db_.last_insert_id();
}

void sqlite_store::begin(std::string_view shown) { transaction_.emplace(db_, shown); }

void sqlite_store::commit() {
    transaction_->commit();
    transaction_.reset();
}

void sqlite_store::rollback() noexcept { transaction_.reset(); }

} // namespace xkv
