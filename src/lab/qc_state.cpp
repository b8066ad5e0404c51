#include "lab/qc_state.h"

#include "lab/lab_store.h"
#include "settings/read_only_options.h"
#include "settings/value_text.h"

#include <chrono>
#include <cmath>

namespace xkv {

namespace {

std::string check_text(const qc_record* r, const char* kind, std::int64_t now) {
    if (!r) return std::string("no ") + kind + " check";
    std::string text = std::string(kind) + " " + verdict_name(r->verdict);
    if (const auto at = utc_seconds(r->origin.when))
        text += " " + format_general(std::round(static_cast<double>(now - *at) / 360) / 10) + " h ago";
    return text;
}

} // namespace

qc_state qc_state_of(const std::vector<qc_record>& records, const std::string& station, std::int64_t now,
                     const qc_options& options) {
    qc_state s;
    s.block = options.block;
    const std::string counter = station_counter(records, station);
    s.current = qc_current_for(records, counter, now, options.max_age_hours);
    s.line = std::string(s.current ? "QC current: " : "QC NOT CURRENT: ") +
             check_text(last_qc(records, counter, qc_kind_background), qc_kind_background, now) + ", " +
             check_text(last_qc(records, counter, qc_kind_source), qc_kind_source, now);
    if (!counter.empty()) s.line += " (" + counter + ")";
    if (s.blocks_start()) s.line += "; START is blocked";
    return s;
}

qc_state read_qc_state(const std::string& database_path, const read_only_options& options) {
    const std::vector<qc_record> records = qc_records_at(database_path, {options.busy_timeout_ms});
    const auto now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
    return qc_state_of(records, origin_now({}).station, now, options.qc);
}

} // namespace xkv
