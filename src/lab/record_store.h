#pragma once
// What the lab's records need of the store that keeps `results`: bound statements, queries, its
// tables and all-or-nothing writes. Values are bound to "?" as texts, never put into the SQL.

#include "results/text_table.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

class record_store {
public:
    virtual ~record_store() = default;
    virtual void execute(std::string_view sql, const std::vector<std::string>& values = {}) = 0;
    // The answer rows, without a header.
    virtual text_table query(std::string_view sql, const std::vector<std::string>& values = {}) = 0;
    virtual bool has_table(std::string_view name) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
};

// The results database file, opened (and created with `results` when missing) for one operation.
std::unique_ptr<record_store> open_record_store(const std::string& database_path);

// BEGIN now, ROLLBACK when left without commit().
class record_transaction {
public:
    explicit record_transaction(record_store& store) : store_(store) { store_.begin(); }
    ~record_transaction() {
        if (open_) store_.rollback();
    }
    record_transaction(const record_transaction&) = delete;
    record_transaction& operator=(const record_transaction&) = delete;
    void commit() {
        store_.commit();
        open_ = false;
    }

private:
    record_store& store_;
    bool open_ = true;
};

} // namespace xkv
