#include "results/viewer_query.h"

#include "results/result_columns.h"
#include "settings/errors.h"
#include "settings/value_text.h"

#include <charconv>
#include <stdexcept>

namespace xkv {

namespace {

constexpr std::array<std::string_view, viewer_column_count> column_headers() {
    std::array<std::string_view, viewer_column_count> headers{};
    for (std::size_t i = 0; i < viewer_column_count; ++i) headers[i] = results_columns()[i].header;
    return headers;
}

constexpr std::array<std::string_view, viewer_column_count> column_names() {
    std::array<std::string_view, viewer_column_count> names{};
    for (std::size_t i = 0; i < viewer_column_count; ++i) names[i] = results_columns()[i].name;
    return names;
}

std::string select_text() {
    std::string names;
    for (const result_column& c : results_columns()) names.append(names.empty() ? "" : ",").append(c.name);
    return "SELECT " + names + " FROM results";
}

const std::string& select_columns() {
    static const std::string text = select_text();
    return text;
}

// Zero-padded decimal of at least `width` digits.
std::string padded(int value, int width) {
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    std::string digits(buffer, end);
    if (digits.size() < static_cast<std::size_t>(width)) digits.insert(0, width - digits.size(), '0');
    return digits;
}

// "yyyy-MM-dd", as the time stamps begin.
std::string date_text(const calendar_date& d) {
    return padded(d.year, 4) + "-" + padded(d.month, 2) + "-" + padded(d.day, 2);
}

void add(bound_statement& s, std::string_view condition, const std::string& value) {
    s.sql += condition;
    s.values.push_back(value);
}

// A cleaned bound holds digits and at most one "."; without a digit it is no number.
void add_bound(bound_statement& s, std::string_view condition, const std::string& box) {
    const std::string cleaned = clean_number(box);
    if (cleaned.empty()) return;
    if (cleaned == ".") throw conversion_error("'" + cleaned + "' is not a valid floating point value");
    add(s, condition, cleaned);
}

} // namespace

const std::array<std::string_view, viewer_column_count> viewer_headers = column_headers();
const std::array<std::string_view, viewer_column_count> viewer_column_names = column_names();

std::size_t viewer_column(std::string_view name) {
    for (std::size_t i = 0; i < viewer_column_names.size(); ++i)
        if (viewer_column_names[i] == name) return i;
    throw std::out_of_range("no listing column " + std::string(name));
}

bound_statement base_select() { return {select_columns(), {}}; }

void clean_bounds(viewer_filter& f) {
    f.from_value_1 = clean_number(f.from_value_1);
    f.from_value_2 = clean_number(f.from_value_2);
    f.to_value_1 = clean_number(f.to_value_1);
    f.to_value_2 = clean_number(f.to_value_2);
}

bound_statement filtered_select(const viewer_filter& f) {
    bound_statement s{select_columns() + " WHERE 0=0 ", {}};
    // The time stamps are text; the comparisons are strict, so the bounds' own seconds are outside.
    if (f.from_date) add(s, " AND ts>?", date_text(*f.from_date) + " 00:00:00");
    if (f.to_date) add(s, " AND ts<?", date_text(*f.to_date) + " 23:59:59");
    if (!f.sample_id.empty()) add(s, " AND sample_id=?", f.sample_id);
    if (!f.cal_name.empty()) add(s, " AND cal_name=?", f.cal_name);
    if (!f.mode.empty()) add(s, " AND mode=?", f.mode);
    // The numeric columns give the bound texts their numeric value, so the bounds compare as numbers.
    add_bound(s, " AND p1>=?", f.from_value_1);
    add_bound(s, " AND p2>=?", f.from_value_2);
    add_bound(s, " AND p1<=?", f.to_value_1);
    add_bound(s, " AND p2<=?", f.to_value_2);
    if (!f.hv.empty()) add(s, " AND hv=?", f.hv);
    return s;
}

viewer_grid list_results(results_store& store, const bound_statement& select) {
    viewer_grid grid;
    grid.add_row(viewer_headers);
    store.query_each(select.sql, select.values,
                     [&grid](const std::vector<std::string_view>& cells) { grid.add_row(cells); });
    return grid;
}

void stream_results(results_store& store, const bound_statement& select, const store_row_handler& row) {
    store.query_each(select.sql, select.values, row);
}

viewer_grid list_results(const std::string& location, const bound_statement& select) {
    return list_results(*open_results_store(location), select);
}

void stream_results(const std::string& location, const bound_statement& select, const store_row_handler& row) {
    stream_results(*open_results_store(location), select, row);
}

bound_statement list_select(filter_list list, const std::string& typed, store_dialect dialect) {
    std::string_view column;
    switch (list) {
    case filter_list::sample: column = "sample_id"; break;
    case filter_list::mode: column = "mode"; break;
    case filter_list::cal_name: column = "cal_name"; break;
    case filter_list::hv: column = "hv"; break;
    }
    std::string sql = "SELECT DISTINCT " + std::string(column) + " FROM results WHERE ";
    if (dialect == store_dialect::sqlite) {
        sql += std::string(column) + " LIKE ?";
    } else {
        // The file's LIKE: any value as its text, only a to z without regard to case (the "C"
        // collation folds nothing else), and no escape character.
        sql += "CAST(" + std::string(column) + " AS TEXT) COLLATE \"C\" ILIKE ? ESCAPE ''";
    }
    return {sql, {typed + "%"}};
}

std::vector<std::string> refill_list(results_store& store, filter_list list, const std::string& typed) {
    const bound_statement select = list_select(list, typed, store.dialect());
    std::vector<std::string> entries;
    store.query_each(select.sql, select.values,
                     [&entries](const std::vector<std::string_view>& cells) { entries.emplace_back(cells.at(0)); });
    return entries;
}

std::vector<std::string> refill_list(const std::string& location, filter_list list, const std::string& typed) {
    return refill_list(*open_results_store(location), list, typed);
}

} // namespace xkv
