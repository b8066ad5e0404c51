#pragma once
// The spool: the rows of runs that could not be stored, kept in an SQLite file of the program's
// own (the table `results` and the row keys, as any store holds them) until a push sends them to
// the store in use. Nothing measured is dropped, and nothing arrives twice.

#include "measurement/r_results.h"
#include "results/results_store.h"
#include "results/save_results.h"
#include "results/store_copy.h"

#include <cstddef>
#include <string>
#include <vector>

namespace xkv {

// The spool file in a program directory (no trailing "/").
std::string spool_path(const std::string& program_dir);

// Keeps a run's rows under the keys its SAVE tried: had that SAVE stored them after all (a server
// that went away during its COMMIT), the push finds them there and leaves them out.
// Throws ESQLiteException.
// The save hooks write what they keep beside each row into the spool too.
void spool_run(const run_table& table, const std::vector<std::string>& keys, const std::string& spool,
               int busy_timeout_ms = default_busy_timeout_ms, const std::vector<save_hook>& hooks = {});

// How many rows wait; 0 when there is no spool file (asking creates none).
std::size_t spooled_rows(const std::string& spool, int busy_timeout_ms = default_busy_timeout_ms);

// Sends every spooled row to `target`, each once. A row leaves the spool only after the target has
// committed it, so a push that is cut short anywhere is simply run again. Throws ESQLiteException;
// then the rows not yet taken out stay in the spool.
// The `carried` rows go with their row, and leave the spool with it.
copy_outcome push_spool(const std::string& spool, results_store& target, int busy_timeout_ms = default_busy_timeout_ms,
                        const std::vector<carried_table>& carried = {});

} // namespace xkv
