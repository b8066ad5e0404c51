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

// The carried rows of each source result, read before the listing (a server answers one query at
// a time): per table, result id -> the rows' other cells.
using carried_rows = std::vector<std::map<std::int64_t, std::vector<std::vector<std::string>>>>;

carried_rows read_carried(results_store& source, const std::vector<carried_table>& carried) {
    carried_rows rows(carried.size());
    for (std::size_t t = 0; t < carried.size(); ++t) {
        if (!source.has_table(carried[t].table.name)) continue;
        std::string sql = "SELECT result_id";
        for (const std::string& column : carried[t].columns) sql += ", " + column;
        source.query_each(sql + " FROM " + carried[t].table.name, {},
                          [&](const std::vector<std::string_view>& cells) {
                              rows[t][id_of(cells.at(0))].emplace_back(cells.begin() + 1, cells.end());
                          });
    }
    return rows;
}

void write_carried(results_store& target, const std::vector<carried_table>& carried, const carried_rows& rows,
                   std::int64_t source_id, std::int64_t target_id) {
    for (std::size_t t = 0; t < carried.size(); ++t) {
        const auto found = rows[t].find(source_id);
        if (found == rows[t].end()) continue;
        target.create_when_absent(carried[t].table);
        std::string sql = "INSERT INTO " + carried[t].table.name + " (result_id", marks = "?";
        for (const std::string& column : carried[t].columns) sql += ", " + column, marks += ", ?";
        sql += ") VALUES (" + marks + ")";
        for (const auto& cells : found->second) {
            std::vector<std::string> values{std::to_string(target_id)};
            values.insert(values.end(), cells.begin(), cells.end());
            target.execute(sql, values);
        }
    }
}

} // namespace

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
                       const batch_committed& committed, std::size_t batch_rows,
                       const std::vector<carried_table>& carried,
                       const std::vector<copy_companion*>& companions) {
    const bool source_has_keys = source.has_table(row_keys_table.name);
    const carried_rows carried_of = read_carried(source, carried);
    for (copy_companion* companion : companions) companion->read(source);
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
            write_carried(target, carried, carried_of, row.source_id, id);
            for (copy_companion* companion : companions) companion->write(target, row.source_id, id);
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
