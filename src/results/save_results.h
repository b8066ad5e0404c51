#pragma once
// SAVE of the run window: every filled slot of the run table becomes one row of `results`, all in
// one transaction, each with its unique row key beside it.

#include "measurement/r_results.h"
#include "results/results_store.h"

#include <functional>
#include <string>
#include <vector>

namespace xkv {

inline constexpr const char* no_data_to_save = "No data to save !!!!";

enum class save_outcome {
    saved,   // every filled slot is in the database; the window closes
    no_data, // slot 0 is empty: show no_data_to_save, nothing else happens
};

// The INSERT of one row, a parameter in place of each of the 30 values; the second form keeps a
// copied row's time stamp (its first parameter).
extern const std::string results_insert;
extern const std::string results_insert_with_ts;

// The 30 values of one row in the INSERT's order. Each is bound as text: in a numeric column a
// numeric text becomes the same number a bare literal would, any other text is kept as typed.
std::vector<std::string> insert_values(const _r_results& row);

// One row just inserted by SAVE, as a save hook sees it inside SAVE's transaction.
struct saved_row {
    std::int64_t id;        // the id the store gave it
    std::size_t slot;       // its slot in the run table
    const _r_results& row;  // what was measured
    const std::string& key; // its unique row key
};
// Writes what a module keeps beside the row (keyed by its id) through `store`; an exception
// undoes the whole SAVE. Create the module's table with store.create_when_absent() first.
using save_hook = std::function<void(results_store& store, const saved_row& row)>;

// The keys a run's rows are saved under: given once per slot, so a SAVE repeated after a failure,
// or a push of the spool after an interruption, never stores a row twice.
std::vector<std::string> new_row_keys(const run_table& table);

// Writes slots 0, 1, ... up to the first empty sample ID, all in one transaction, calling every
// hook for each row. A row whose key the store already holds is left out (it was saved before).
// Throws ESQLiteException; then nothing was written and SAVE may simply be pressed again.
save_outcome save_results(const run_table& table, results_store& store, const std::vector<std::string>& keys,
                          const std::vector<save_hook>& hooks = {});
// The same on a store opened at `location` for this SAVE, with new keys.
save_outcome save_results(const run_table& table, const std::string& location,
                          const std::vector<save_hook>& hooks = {});

} // namespace xkv
