#pragma once
// Rows of `results` carried from one store to another, each exactly once: every row travels under
// its unique key, and a row whose key the target holds already is left out. `db copy` and the
// push of the spool both go through here.

#include "results/results_store.h"
#include "results/viewer_query.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace xkv {

struct copy_outcome {
    std::size_t copied = 0;  // rows the target did not hold before
    std::size_t present = 0; // rows it held already under their keys
};

// A row the target holds now, as the source knows it.
struct row_sent {
    std::int64_t source_id;
    std::string key;
};
// Told of each batch of rows once the target has committed it.
using batch_committed = std::function<void(const std::vector<row_sent>& rows)>;

// What a module carries beside each new row of a copy: read from the source before its rows (a
// server answers one query at a time), written into the target in the row's transaction.
class copy_companion {
public:
    virtual ~copy_companion() = default;
    virtual void read(results_store& source) = 0;
    virtual void write(results_store& target, std::int64_t source_id, std::int64_t target_id) = 0;
};
using copy_companions = std::vector<std::unique_ptr<copy_companion>>;

// A table beside `results` whose rows each belong to one result (its column `result_id`, then
// `columns`): a copy carries them with their row, under the row's new id.
struct carried_table {
    side_table table;
    std::vector<std::string> columns;
};
// The companions that carry these tables' rows.
copy_companions carried_copies(const std::vector<carried_table>& tables);

// Copies the rows that `select` (a viewer select: base_select() or filtered_select()) finds in
// `source` to `target` in id order, keeping `ts` and every value as the source lists them. Each
// batch of `batch_rows` rows is one transaction of the target, whose keys are checked inside it,
// so an interrupted copy run again stores each row once; what the companions carry of a row goes
// in its transaction (a row the target held already keeps what it has). Throws ESQLiteException.
copy_outcome copy_rows(results_store& source, results_store& target, const bound_statement& select,
                       const batch_committed& committed = {}, std::size_t batch_rows = 500,
                       const copy_companions& companions = {});

// The key of a row saved before rows had keys. It is the row's own identity, not its store's:
// a digest of its id, time stamp and every value as the listing gives them. A file that is moved,
// renamed or copied whole gives its rows the same keys again, so copying it twice stores nothing
// twice; two different rows never share one, since within a store the id alone tells them apart,
// and rows of two stores that agree in id, second and all 30 values are the same measurement.
// "row-" and 32 hexadecimal digits, apart from the random keys of new_row_key().
std::string derived_row_key(std::string_view id, std::string_view ts, const std::vector<std::string>& values);

} // namespace xkv
