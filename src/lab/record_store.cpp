#include "lab/record_store.h"

#include "results/t_sqlite.h"

namespace xkv {

namespace {

class sqlite_record_store : public record_store {
public:
    explicit sqlite_record_store(const std::string& path) : db_(path) {}
    void execute(std::string_view sql, const std::vector<std::string>& values) override { db_.query(sql, values); }
    text_table query(std::string_view sql, const std::vector<std::string>& values) override {
        text_table rows;
        db_.query_into(rows, sql, values);
        return rows;
    }
    bool has_table(std::string_view name) override {
        db_.query("select [name] from sqlite_master where [type] = 'table' and lower(name) = ?", {std::string(name)});
        return db_.row_count() > 0;
    }
    void begin() override { db_.execute("BEGIN IMMEDIATE"); }
    void commit() override { db_.execute("COMMIT"); }
    void rollback() noexcept override {
        try {
            db_.execute("ROLLBACK");
        } catch (...) { // nothing was written; the connection closes anyway
        }
    }

private:
    t_sqlite db_;
};

} // namespace

std::unique_ptr<record_store> open_record_store(const std::string& database_path) {
    return std::make_unique<sqlite_record_store>(database_path);
}

} // namespace xkv
