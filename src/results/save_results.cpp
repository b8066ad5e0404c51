#include "results/save_results.h"

#include "results/result_columns.h"
#include "results/row_keys.h"

#include <array>

namespace xkv {

namespace {

// The saved columns in the INSERT's order.
std::array<const result_column*, saved_column_count()> saved_columns() {
    std::array<const result_column*, saved_column_count()> in_order{};
    for (const result_column& c : results_columns())
        if (c.save_position >= 0) in_order.at(c.save_position) = &c;
    return in_order;
}

std::string insert_text(bool with_ts) {
    std::string names = with_ts ? "ts" : "", parameters = with_ts ? "?" : "";
    for (const result_column* c : saved_columns()) {
        if (!names.empty()) {
            names += ",";
            parameters += ",";
        }
        names += c->name;
        parameters += "?";
    }
    return "INSERT INTO results (" + names + ")  values (" + parameters + ")";
}

} // namespace

const std::string results_insert = insert_text(false);
const std::string results_insert_with_ts = insert_text(true);

std::vector<std::string> insert_values(const _r_results& r) {
    static const auto columns = saved_columns();
    std::vector<std::string> values;
    values.reserve(columns.size());
    for (const result_column* c : columns) values.push_back(c->save_text(r));
    return values;
}

std::vector<std::string> new_row_keys(const run_table& table) {
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < table.size() && !table[i].sample_id.empty(); ++i) keys.push_back(new_row_key());
    return keys;
}

save_outcome save_results(const run_table& table, results_store& store, const std::vector<std::string>& keys,
                          const std::vector<save_hook>& hooks) {
    if (table[0].sample_id.empty()) return save_outcome::no_data;
    results_store::transaction all_rows(store);
    store.create_when_absent(row_keys_table);
    for (std::size_t i = 0; i < table.size() && !table[i].sample_id.empty(); ++i) {
        const std::string& key = keys.at(i);
        if (has_row_key(store, key)) continue;
        const std::int64_t id = store.insert_result(insert_values(table[i]));
        add_row_key(store, id, key);
        for (const save_hook& hook : hooks) hook(store, {id, i, table[i], key});
    }
    all_rows.commit();
    return save_outcome::saved;
}

save_outcome save_results(const run_table& table, const std::string& location, const std::vector<save_hook>& hooks) {
    if (table[0].sample_id.empty()) return save_outcome::no_data;
    const auto store = open_results_store(location);
    return save_results(table, *store, new_row_keys(table), hooks);
}

} // namespace xkv
