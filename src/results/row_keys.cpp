#include "results/row_keys.h"

#include <charconv>
#include <random>

namespace xkv {

const side_table row_keys_table = {
    "result_keys",
    {"CREATE TABLE result_keys (result_id INTEGER PRIMARY KEY, row_key TEXT NOT NULL UNIQUE)"},
    {"CREATE TABLE result_keys (result_id BIGINT PRIMARY KEY, row_key TEXT NOT NULL UNIQUE)"},
};

std::string new_row_key() {
    static thread_local std::random_device device;
    static const char* const digits = "0123456789abcdef";
    std::string key;
    for (int part = 0; part < 4; ++part) {
        std::uint32_t bits = device();
        for (int i = 0; i < 8; ++i, bits >>= 4) key += digits[bits & 0xf];
    }
    return key;
}

bool has_row_key(results_store& store, const std::string& key) {
    if (!store.has_table(row_keys_table.name)) return false;
    bool found = false;
    store.query_each("SELECT result_id FROM result_keys WHERE row_key = ?", {key},
                     [&found](const std::vector<std::string_view>&) { found = true; });
    return found;
}

void add_row_key(results_store& store, std::int64_t id, const std::string& key) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, id).ptr;
    store.execute("INSERT INTO result_keys (result_id, row_key) VALUES (?, ?)", {std::string(buffer, end), key});
}

} // namespace xkv
