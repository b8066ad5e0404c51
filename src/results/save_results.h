#pragma once
// SAVE of the run window: every filled slot of the run table becomes one row of `results`.

#include "measurement/r_results.h"

#include <string>
#include <vector>

namespace xkv {

inline constexpr const char* no_data_to_save = "No data to save !!!!";

enum class save_outcome {
    saved,   // every filled slot is in the database; the window closes
    no_data, // slot 0 is empty: show no_data_to_save, nothing else happens
};

// The INSERT of one row, a parameter in place of each of the 30 values.
extern const std::string results_insert;

// The 30 values of one row in the INSERT's order. Each is bound as text: in a numeric column a
// numeric text becomes the same number a bare literal would, any other text is kept as typed.
std::vector<std::string> insert_values(const _r_results& row);

// Writes slots 0, 1, ... up to the first empty sample ID, all in one transaction.
// Throws ESQLiteException; then nothing was written and SAVE may simply be pressed again.
save_outcome save_results(const run_table& table, const std::string& database_path);

} // namespace xkv
