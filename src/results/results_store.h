#pragma once
// The results store: where saved results live, an SQLite file (the default) or a PostgreSQL
// server. Every reader and writer of results goes through this interface and never learns which
// store it has; the same rows give the same texts from either.
//
// One store object serves one operation (open, statements, close), as a file is never held open
// between operations.
//
// For modules that keep tables of their own beside `results` (a calibration in force, a QC mark,
// the row keys):
//   - side_table: the table's statements per dialect; create_when_absent() runs them once, inside
//     the transaction the caller is in (or in one of its own), safe against a second station
//     creating the same table at the same moment.
//   - execute() / query() / query_each(): one statement, its values bound in order to "?"
//     placeholders as texts (the same "?" on both stores; never put operator text into SQL).
//     Cells come back as text: integers in decimal, numbers in the general form, other values as
//     stored. Keep a NULL out of a numeric column: it reads "0" from the file, empty from the server.
//   - transaction: BEGIN now, ROLLBACK when destroyed without commit().
//   - save hooks (save_results.h): called inside SAVE's transaction for each row with the id the
//     store gave it, so a side table keyed by that id is written all-or-nothing with the rows.

#include "results/t_sqlite.h"
#include "results/text_table.h"
#include "settings/read_only_options.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

enum class store_dialect {
    sqlite,
    postgresql
};

// A table kept beside `results`: its name (lower case) and the statements that create it
// (CREATE TABLE, then its indexes) in each dialect.
struct side_table {
    std::string name;
    std::vector<std::string> sqlite;
    std::vector<std::string> postgresql;
};

using store_row_handler = std::function<void(const std::vector<std::string_view>& cells)>;

class results_store {
public:
    virtual ~results_store() = default;
    results_store(const results_store&) = delete;
    results_store& operator=(const results_store&) = delete;

    virtual store_dialect dialect() const = 0;
    // The store as messages and the status bar name it: the file path, or the server's URI
    // without any password.
    virtual const std::string& name() const = 0;

    // One statement with `values` bound to its "?" placeholders; each answer row goes to `row`,
    // its cells valid only during the call (a listing of any length passes through unheld).
    virtual void query_each(std::string_view sql, const std::vector<std::string>& values,
                            const store_row_handler& row) = 0;
    // Every answer row, held.
    text_table query(std::string_view sql, const std::vector<std::string>& values = {});
    // A statement that answers no rows.
    virtual void execute(std::string_view sql, const std::vector<std::string>& values = {}) = 0;

    bool has_table(std::string_view name);
    // Runs the table's statements of this dialect when the table does not exist yet.
    void create_when_absent(const side_table& table);

    // One row of `results`: the 30 values in SAVE's order, and `ts` when it is to be kept (a
    // copied row); otherwise the store stamps it. Returns the row's id.
    virtual std::int64_t insert_result(const std::vector<std::string>& values,
                                       const std::optional<std::string>& ts = std::nullopt) = 0;

    // All or nothing: BEGIN now, ROLLBACK when destroyed without commit(). `shown` names the
    // operator's statement in an error of the BEGIN (a locked file, say).
    class transaction {
    public:
        explicit transaction(results_store& store, std::string_view shown = {});
        ~transaction();
        transaction(const transaction&) = delete;
        transaction& operator=(const transaction&) = delete;
        void commit();

    private:
        results_store& store_;
        bool open_ = true;
    };

    bool in_transaction() const { return in_transaction_; }

protected:
    results_store() = default;
    virtual void begin(std::string_view shown) = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;
    // Held until the transaction ends, so two stations never create one table at the same time.
    virtual void lock_for_creation(std::string_view table) = 0;

private:
    bool in_transaction_ = false;
};

// How long an SQLite file that another program holds is waited for before its error is shown.
inline constexpr int default_busy_timeout_ms = read_only_options{}.busy_timeout_ms;

// How long a server is given to accept a connection, and to send the next part of an answer,
// before the station gives up with a message (under the 10 s an operator should wait).
inline constexpr int default_server_timeout_s = 8;

struct store_options {
    int busy_timeout_ms = default_busy_timeout_ms;
    int server_timeout_s = default_server_timeout_s;
};

// A "postgresql://" or "postgres://" URI; anything else is a file path.
bool is_server_location(std::string_view location);

// Opens the store at `location`, a file path (created with its table when missing) or a server
// URI (its table created on first use). Throws ESQLiteException, the database error of either store.
std::unique_ptr<results_store> open_results_store(const std::string& location, const store_options& options = {});

// The store at `location` when there is one to read from: a server, or a file that exists (null
// otherwise). Reading never creates a database file.
std::unique_ptr<results_store> open_existing_store(const std::string& location, const store_options& options = {});

} // namespace xkv
