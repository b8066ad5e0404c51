#include "results/t_sqlite.h"

#include "results/result_columns.h"
#include "settings/value_text.h"

#include <sqlite3.h>

#include <array>
#include <charconv>
#include <cstring>

namespace xkv {

namespace {

// "[name] declaration" of every column, in the schema's order.
std::string schema_text() {
    std::array<const result_column*, results_column_count> in_order{};
    for (const result_column& c : results_columns()) in_order.at(c.schema_position) = &c;
    std::string text = "CREATE TABLE results (";
    for (const result_column* c : in_order) {
        if (c != in_order.front()) text += ",";
        text.append("[").append(c->name).append("] ").append(c->declaration);
    }
    return text + ")";
}

} // namespace

const std::string results_create_table = schema_text();

const char* const results_create_index = "CREATE INDEX resultssampleid ON [results]([sample_id]);";

namespace {

// How a column's values become text, chosen once per answer from the first row.
enum class conversion {
    integer,
    floating,
    blob,
    text
};

conversion by_declared_type(sqlite3_stmt* statement, int column) {
    const char* declared = sqlite3_column_decltype(statement, column);
    if (!declared) {
        switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER: return conversion::integer;
        case SQLITE_FLOAT: return conversion::floating;
        case SQLITE_BLOB: return conversion::blob;
        default: return conversion::text;
        }
    }
    const auto is = [declared](const char* name) { return std::strcmp(declared, name) == 0; };
    if (is("INTEGER") || is("BOOLEAN")) return conversion::integer;
    if (is("NUMERIC") || is("FLOAT") || is("DOUBLE") || is("REAL")) return conversion::floating;
    if (is("BLOB")) return conversion::blob;
    return conversion::text;
}

std::string_view stored_text(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    if (!text) return {};
    return {text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}

// The cell's text, valid until the next step; numbers are written into `scratch`.
std::string_view cell_text(sqlite3_stmt* statement, int column, conversion how, std::string& scratch) {
    const int stored = sqlite3_column_type(statement, column);
    if (how == conversion::integer || how == conversion::floating) {
        if (stored == SQLITE_NULL) return "0";
        // Only a text that is no number stays text in a numeric column (an empty HV, say):
        // show it as kept rather than as the number SQLite would make of its leading digits.
        if (stored == SQLITE_TEXT) return stored_text(statement, column);
    }
    switch (how) {
    case conversion::integer: {
        scratch.resize(24);
        const auto end =
            std::to_chars(scratch.data(), scratch.data() + scratch.size(), sqlite3_column_int64(statement, column)).ptr;
        return {scratch.data(), static_cast<std::size_t>(end - scratch.data())};
    }
    case conversion::floating: scratch = format_general(sqlite3_column_double(statement, column)); return scratch;
    case conversion::blob: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, column));
        if (!bytes) return {};
        return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
    }
    case conversion::text: break;
    }
    return stored_text(statement, column);
}

bool is_busy(int rc) { return (rc & 0xff) == SQLITE_BUSY; }

} // namespace

void t_sqlite::connection_closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }
void t_sqlite::statement_finalizer::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

t_sqlite::t_sqlite(const std::string& path, int busy_timeout_ms) {
    sqlite3* raw = nullptr;
    // One object serves one operation on one thread: SQLite's per-call locking would only cost time.
    const int rc =
        sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    db_.reset(raw);
    if (rc != SQLITE_OK) {
        if (!raw) throw ESQLiteException("Failed to open database \"" + path + "\" : unknown error");
        throw ESQLiteException("Failed to open database \"" + path + "\" : " + sqlite3_errmsg(raw));
    }
    // Another station's SAVE holds the file for a moment: wait for it rather than fail at once.
    sqlite3_busy_timeout(raw, busy_timeout_ms);
    execute("PRAGMA SYNCHRONOUS=NORMAL;");
    execute("PRAGMA temp_store = MEMORY;");
    if (!table_exists()) {
        // Table and index together, so that a failure never leaves a table without its index. A lock
        // held by another program is reported against the table's creation, the operator's action.
        transaction creating(*this, results_create_table);
        if (!table_exists()) create_table();
        creating.commit();
    }
}

t_sqlite::~t_sqlite() = default;

bool t_sqlite::table_exists() {
    query("select [sql] from sqlite_master where [type] = 'table' and lower(name) = 'results' ");
    const bool found = row_count_ > 0;
    take_rows();
    return found;
}

void t_sqlite::create_table() {
    execute(results_create_table);
    execute(results_create_index);
}

void t_sqlite::fail(const char* text, std::string_view sql, const std::vector<std::string>& texts) const {
    if (sqlite3_errcode(db_.get()) == SQLITE_OK) throw ESQLiteException(text);
    throw ESQLiteException(statement_error(text, sqlite3_errmsg(db_.get()), sql, texts));
}

std::string statement_error(std::string_view what, std::string_view reason, std::string_view sql,
                            const std::vector<std::string>& texts) {
    std::string text(what);
    text.append(" : ").append(reason).append(" : \"").append(statement_with_values(sql, texts)).append("\"");
    return text;
}

std::string statement_with_values(std::string_view sql, const std::vector<std::string>& texts) {
    std::string out;
    std::size_t next = 0;
    char quote = 0; // the quote or bracket being passed over, whose "?" is no parameter
    for (const char c : sql) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"' || c == '`') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        } else if (c == '?' && next < texts.size()) {
            out += '\'';
            for (const char t : texts[next]) out += t == '\'' ? std::string("''") : std::string(1, t);
            out += '\'';
            ++next;
            continue;
        }
        out += c;
    }
    return out;
}

t_sqlite::statement t_sqlite::prepare(std::string_view sql) {
    sqlite3_stmt* raw = nullptr;
    // Only the first statement of the text runs; the rest is ignored.
    const int rc = sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
    statement prepared(raw);
    if (rc != SQLITE_OK) fail("Error executing SQL", sql);
    if (!prepared) fail("Could not prepare SQL statement", sql);
    return prepared;
}

void t_sqlite::execute(std::string_view sql) {
    const statement prepared = prepare(sql);
    if (sqlite3_step(prepared.get()) != SQLITE_DONE) fail("Error executing SQL statement", sql);
}

void t_sqlite::query(std::string_view sql, const std::vector<std::string>& texts) {
    text_table rows;
    query_into(rows, sql, texts);
    rows_ = std::move(rows);
    row_count_ = static_cast<int>(rows_.row_count());
    col_count_ = static_cast<int>(rows_.column_count());
}

void t_sqlite::query_into(text_table& rows, std::string_view sql, const std::vector<std::string>& texts) {
    // Whatever goes wrong part way, the rows added so far go again (the error on its way out says
    // the answer is incomplete even if memory for that is short).
    struct undo_on_failure {
        text_table& rows;
        std::size_t keep;
        bool done = false;
        ~undo_on_failure() {
            if (done) return;
            try {
                rows.keep_rows(keep);
            } catch (...) {}
        }
    } undo{rows, rows.row_count()};
    query_each(sql, texts, [&rows](const std::vector<std::string_view>& cells) { rows.add_row(cells); });
    undo.done = true;
}

void t_sqlite::query_each(std::string_view sql, const std::vector<std::string>& texts, const row_handler& row) {
    const statement prepared = prepare(sql);
    sqlite3_stmt* st = prepared.get();
    if (static_cast<std::size_t>(sqlite3_bind_parameter_count(st)) != texts.size())
        throw std::logic_error("query: the statement and its values do not match");
    for (std::size_t i = 0; i < texts.size(); ++i) {
        // The texts outlive the statement, so SQLite need not copy them.
        if (sqlite3_bind_text(st, static_cast<int>(i + 1), texts[i].data(), static_cast<int>(texts[i].size()),
                              SQLITE_STATIC) != SQLITE_OK)
            fail("Error executing SQL", sql, texts);
    }

    std::vector<conversion> conversions;
    std::vector<std::string> scratch; // one per column: every cell of a row stays valid at once
    std::vector<std::string_view> cells;
    for (;;) {
        const int rc = sqlite3_step(st);
        if (rc == SQLITE_DONE) break;
        if (is_busy(rc)) throw ESQLiteException("Could not prepare SQL statement");
        if (rc != SQLITE_ROW) fail("Could not retrieve data", sql, texts);
        if (conversions.empty()) {
            const int columns = sqlite3_column_count(st);
            for (int c = 0; c < columns; ++c) conversions.push_back(by_declared_type(st, c));
            scratch.resize(conversions.size());
            cells.resize(conversions.size());
        }
        for (std::size_t c = 0; c < conversions.size(); ++c)
            cells[c] = cell_text(st, static_cast<int>(c), conversions[c], scratch[c]);
        row(cells);
    }
}

std::int64_t t_sqlite::last_insert_id() const { return sqlite3_last_insert_rowid(db_.get()); }

std::string_view t_sqlite::cell(int row, int column) const {
    if (row < 1 || row > row_count_ || column < 1 || column > col_count_) return {};
    return rows_.cell(static_cast<std::size_t>(row - 1), static_cast<std::size_t>(column - 1));
}

text_table t_sqlite::take_rows() {
    row_count_ = 0;
    col_count_ = 0;
    text_table rows = std::move(rows_);
    rows_ = text_table();
    return rows;
}

t_sqlite::transaction::transaction(t_sqlite& db, std::string_view shown) : db_(db) {
    // IMMEDIATE takes the write lock now, so a database locked by another writer fails here,
    // before any row is written.
    const statement prepared = db_.prepare("BEGIN IMMEDIATE");
    if (sqlite3_step(prepared.get()) != SQLITE_DONE)
        db_.fail("Error executing SQL statement", shown.empty() ? std::string_view("BEGIN IMMEDIATE") : shown);
}

t_sqlite::transaction::~transaction() {
    if (!open_) return;
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_.db_.get(), "ROLLBACK", -1, &raw, nullptr) == SQLITE_OK) {
        const statement rollback(raw);
        sqlite3_step(rollback.get());
    }
}

void t_sqlite::transaction::commit() {
    db_.execute("COMMIT");
    open_ = false;
}

} // namespace xkv
