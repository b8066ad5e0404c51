#include "results/store_copy.h"

#include "results/result_columns.h"
#include "results/row_keys.h"
#include "results/sha256.h"

#include <charconv>
#include <map>
#include <stdexcept>

namespace xkv {

namespace {

// One source row on its way: what insert_result() takes, and its key.
struct row_in_transit {
    std::int64_t source_id = 0;
    std::string ts;
    std::vector<std::string> values;
    std::string key;
};

const std::string from_results = " FROM results";

// The viewer's select with each row's key beside it (when the source keeps keys), in id order.
std::string keyed_select(const std::string& select, bool source_has_keys) {
    const std::size_t at = select.find(from_results);
    if (at == std::string::npos) throw std::logic_error("copy_rows: not a select of results: " + select);
    std::string sql = select.substr(0, at);
    if (source_has_keys)
        sql += ",row_key" + from_results + " LEFT JOIN result_keys ON result_keys.result_id = results.id";
    else
        sql += from_results;
    return sql + select.substr(at + from_results.size()) + " ORDER BY results.id";
}

std::int64_t id_of(std::string_view text) {
    std::int64_t id = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (ec != std::errc{} || end != text.data() + text.size())
        throw ESQLiteException("a row of results has the id '" + std::string(text) + "'");
    return id;
}

row_in_transit from_listing(const std::vector<std::string_view>& cells, bool with_key) {
    static const std::size_t id_at = viewer_column("id"), ts_at = viewer_column("ts");
    row_in_transit row;
    row.source_id = id_of(cells.at(id_at));
    row.ts = cells.at(ts_at);
    row.values.resize(saved_column_count());
    for (const result_column& c : results_columns())
        if (c.save_position >= 0) row.values.at(c.save_position) = cells.at(viewer_column(c.name));
    const std::string_view key = with_key ? cells.at(viewer_column_count) : std::string_view();
    row.key = key.empty() ? derived_row_key(cells.at(id_at), row.ts, row.values) : std::string(key);
    return row;
}

// One carried table's rows, read before the listing: result id -> the rows' other cells.
class carried_table_copy final : public copy_companion {
public:
    explicit carried_table_copy(carried_table table) : table_(std::move(table)) {}

    void read(results_store& source) override {
        if (!source.has_table(table_.table.name)) return;
        std::string sql = "SELECT result_id";
        for (const std::string& column : table_.columns) sql += ", " + column;
        source.query_each(sql + " FROM " + table_.table.name, {}, [this](const std::vector<std::string_view>& cells) {
            rows_[id_of(cells.at(0))].emplace_back(cells.begin() + 1, cells.end());
        });
    }

    void write(results_store& target, std::int64_t source_id, std::int64_t target_id) override {
        const auto found = rows_.find(source_id);
        if (found == rows_.end()) return;
        target.create_when_absent(table_.table);
        std::string sql = "INSERT INTO " + table_.table.name + " (result_id", marks = "?";
        for (const std::string& column : table_.columns) sql += ", " + column, marks += ", ?";
        sql += ") VALUES (" + marks + ")";
        for (const auto& cells : found->second) {
            std::vector<std::string> values{std::to_string(target_id)};
            values.insert(values.end(), cells.begin(), cells.end());
            target.execute(sql, values);
        }
    }

private:
    carried_table table_;
    std::map<std::int64_t, std::vector<std::vector<std::string>>> rows_;
};

} // namespace

copy_companions carried_copies(const std::vector<carried_table>& tables) {
    copy_companions out;
    for (const carried_table& t : tables) out.push_back(std::make_unique<carried_table_copy>(t));
    return out;
}

std::string derived_row_key(std::string_view id, std::string_view ts, const std::vector<std::string>& values) {
    // Each text with its length before it, so no two rows give the same bytes.
    std::string bytes;
    const auto add = [&bytes](std::string_view text) {
        bytes += std::to_string(text.size());
        bytes += ':';
        bytes += text;
    };
    add(id);
    add(ts);
    for (const std::string& v : values) add(v);
    static const char* const digits = "0123456789abcdef";
    const auto digest = sha256(bytes);
    std::string key = "row-";
    for (std::size_t i = 0; i < 16; ++i) {
        key += digits[digest[i] >> 4];
        key += digits[digest[i] & 0xf];
    }
    return key;
}

copy_outcome copy_rows(results_store& source, results_store& target, const bound_statement& select,
                       const batch_committed& committed, std::size_t batch_rows, const copy_companions& companions) {
    const bool source_has_keys = source.has_table(row_keys_table.name);
    for (const auto& companion : companions) companion->read(source);
    copy_outcome outcome;
    std::vector<row_in_transit> batch;
    const auto store_batch = [&] {
        if (batch.empty()) return;
        results_store::transaction rows(target);
        target.create_when_absent(row_keys_table);
        std::vector<row_sent> sent;
        for (const row_in_transit& row : batch) {
            sent.push_back({row.source_id, row.key});
            if (has_row_key(target, row.key)) {
                ++outcome.present;
                continue;
            }
            const std::int64_t id = target.insert_result(row.values, row.ts);
            add_row_key(target, id, row.key);
            for (const auto& companion : companions) companion->write(target, row.source_id, id);
            ++outcome.copied;
        }
        rows.commit();
        batch.clear();
        if (committed) committed(sent);
    };
    source.query_each(keyed_select(select.sql, source_has_keys), select.values,
                      [&](const std::vector<std::string_view>& cells) {
                          batch.push_back(from_listing(cells, source_has_keys));
                          if (batch.size() >= batch_rows) store_batch();
                      });
    store_batch();
    return outcome;
}

} // namespace xkv
