#pragma once
// Where this station's counter stands with its QC, as the run window shows it before START: one
// line of text, whether QC is current, and whether START is refused for it ("QC" "block=1").

#include "lab/qc_record.h"
#include "settings/read_only_options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace xkv {

inline constexpr const char* qc_blocked_message = "QC is not current: START is blocked ([QC] block=1)";

struct qc_state {
    bool current = false;
    bool block = false;
    std::string line;
    bool blocks_start() const { return block && !current; }
};

// From the records of the store: the counter of this station's newest record, its last background
// and source check and their ages at `now`.
qc_state qc_state_of(const std::vector<qc_record>& records, const std::string& station, std::int64_t now,
                     const qc_options& options);

// The same for the store at `database_path` now; a store that does not exist yet has no records
// (and is not created by asking).
qc_state read_qc_state(const std::string& database_path, const read_only_options& options);

} // namespace xkv
