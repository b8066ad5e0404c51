#pragma once
// The program's only door to the results database: one object per operation (open, statements,
// close). Every answer comes back as text, converted by the columns' declared types.

#include "results/text_table.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace xkv {

// A database error; what() is the text the operator sees.
class ESQLiteException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class t_sqlite {
public:
    // Opens (creating a missing file) and makes sure the table `results` and its index exist.
    // A file another program holds is waited for up to `busy_timeout_ms` before its error.
    // Throws ESQLiteException; a failed opening leaves no connection behind.
    explicit t_sqlite(const std::string& path, int busy_timeout_ms = 5000);
    ~t_sqlite();
    t_sqlite(const t_sqlite&) = delete;
    t_sqlite& operator=(const t_sqlite&) = delete;

    // Runs the first statement of `sql` with `texts` bound, in order, to its parameters as texts,
    // and replaces the answer with every row it produced. A failure leaves the previous answer.
    void query(std::string_view sql, const std::vector<std::string>& texts = {});
    // The same, but the rows are added to `rows` instead of becoming the answer: a listing is
    // filled where it will stay. A failure takes the rows it added out again.
    void query_into(text_table& rows, std::string_view sql, const std::vector<std::string>& texts = {});
    // The same, but each row goes to `row` as SQLite returns it, its texts valid only during the
    // call: a listing of any length passes through without being held.
    using row_handler = std::function<void(const std::vector<std::string_view>& cells)>;
    void query_each(std::string_view sql, const std::vector<std::string>& texts, const row_handler& row);

    // Runs a statement that answers nothing (settings, CREATE, BEGIN, COMMIT); success is "done".
    void execute(std::string_view sql);

    // The id of the row the last INSERT added.
    std::int64_t last_insert_id() const;

    int row_count() const { return row_count_; }
    int col_count() const { return col_count_; }
    // Rows 1..row_count, columns 1..col_count; row 0 and column 0 (and anything outside) are empty.
    std::string_view cell(int row, int column) const;
    // Moves the answer out: row r-1 holds the col_count texts of answer row r. Leaves no answer.
    text_table take_rows();

    // All or nothing: BEGIN IMMEDIATE now, ROLLBACK when destroyed without commit(). When the
    // BEGIN fails, the error names `shown` (the statement the transaction is for) when given.
    class transaction {
    public:
        explicit transaction(t_sqlite& db, std::string_view shown = {});
        ~transaction();
        transaction(const transaction&) = delete;
        transaction& operator=(const transaction&) = delete;
        void commit();

    private:
        t_sqlite& db_;
        bool open_ = true;
    };

private:
    struct connection_closer {
        void operator()(sqlite3* db) const;
    };
    struct statement_finalizer {
        void operator()(sqlite3_stmt* statement) const;
    };
    using statement = std::unique_ptr<sqlite3_stmt, statement_finalizer>;

    statement prepare(std::string_view sql);
    // The error text names the statement with `texts` quoted in the places of its parameters.
    [[noreturn]] void fail(const char* text, std::string_view sql, const std::vector<std::string>& texts = {}) const;
    bool table_exists();
    void create_table();

    std::unique_ptr<sqlite3, connection_closer> db_;
    int row_count_ = 0;
    int col_count_ = 0;
    text_table rows_;
};

// The statement as an error text shows it: each "?" outside quotes and brackets replaced, in order,
// by the next text in single quotes (a quote inside doubled). Only for messages; statements run bound.
std::string statement_with_values(std::string_view sql, const std::vector<std::string>& texts);

// The message of a failed statement: what failed, the reason, then the statement with its values,
// so that the reason is read first however long the statement is:
// `Error executing SQL : database is locked : "BEGIN IMMEDIATE"`.
std::string statement_error(std::string_view what, std::string_view reason, std::string_view sql,
                            const std::vector<std::string>& texts);

// The table and its index, exactly as a new database file receives them.
extern const std::string results_create_table;
extern const char* const results_create_index;

} // namespace xkv
