#include "results/save_results.h"

#include "results/result_columns.h"
#include "results/t_sqlite.h"

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

std::string insert_text() {
    std::string names, parameters;
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

const std::string results_insert = insert_text();

std::vector<std::string> insert_values(const _r_results& r) {
    static const auto columns = saved_columns();
    std::vector<std::string> values;
    values.reserve(columns.size());
    for (const result_column* c : columns) values.push_back(c->save_text(r));
    return values;
}

save_outcome save_results(const run_table& table, const std::string& database_path) {
    if (table[0].sample_id.empty()) return save_outcome::no_data;
    t_sqlite db(database_path);
    t_sqlite::transaction all_rows(db);
    for (std::size_t i = 0; i < table.size() && !table[i].sample_id.empty(); ++i)
        db.query(results_insert, insert_values(table[i]));
    all_rows.commit();
    return save_outcome::saved;
}

} // namespace xkv
