#pragma once
// The results store in an SQLite file: t_sqlite underneath, its statements and texts unchanged.

#include "results/results_store.h"
#include "results/t_sqlite.h"

#include <optional>

namespace xkv {

class sqlite_store final : public results_store {
public:
    sqlite_store(const std::string& path, int busy_timeout_ms);

    store_dialect dialect() const override { return store_dialect::sqlite; }
    const std::string& name() const override { return path_; }
    void query_each(std::string_view sql, const std::vector<std::string>& values,
                    const store_row_handler& row) override;
    void execute(std::string_view sql, const std::vector<std::string>& values = {}) override;
    std::int64_t insert_result(const std::vector<std::string>& values,
                               const std::optional<std::string>& ts = std::nullopt) override;

    // The connection itself, for what only a file has (its raw statements in tests and tools).
    t_sqlite& connection() { return db_; }

private:
    void begin(std::string_view shown) override;
    void commit() override;
    void rollback() noexcept override;
    void lock_for_creation(std::string_view) override {} // BEGIN IMMEDIATE already holds the file

    std::string path_;
    t_sqlite db_;
    std::optional<t_sqlite::transaction> transaction_;
};

} // namespace xkv
