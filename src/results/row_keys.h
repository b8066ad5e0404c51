#pragma once
// The unique key of every saved row, in a table of its own beside `results` (whose columns never
// change): a row that arrives again under a key the store holds was stored already and is left out.

#include "results/results_store.h"

#include <cstdint>
#include <optional>
#include <string>

namespace xkv {

extern const side_table row_keys_table;

// A new key: 128 random bits in hexadecimal.
std::string new_row_key();

// Whether the store holds a row under `key` (false where the table does not exist yet).
bool has_row_key(results_store& store, const std::string& key);
// Records `key` for the row `id`; inside the transaction that inserted the row.
void add_row_key(results_store& store, std::int64_t id, const std::string& key);

} // namespace xkv
