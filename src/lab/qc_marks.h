#pragma once
// The mark a result carries when it was saved while the counter's QC was not current: the QC line
// of that moment, in the table `qc_marks` keyed by the result's id, written in SAVE's transaction.

#include "results/results_store.h"
#include "results/save_results.h"
#include "results/store_copy.h"
#include "settings/read_only_options.h"

#include <string>
#include <vector>

namespace xkv {

// The hooks for a SAVE to the store at `location` now: one that marks every row when QC is not
// current (or cannot be read: the reason is the mark), none when it is. The QC records are
// read from that store, a server's as well as a file's.
// The lab's tables a copy or a push of the spool carries with each row: its QC mark.
const std::vector<carried_table>& lab_carried_tables();

std::vector<save_hook> qc_mark_hooks(const std::string& location, const read_only_options& options);

} // namespace xkv
