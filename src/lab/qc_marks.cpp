#include "lab/qc_marks.h"

#include "lab/lab_store.h"
#include "lab/qc_state.h"

#include <exception>

namespace xkv {

const std::vector<carried_table>& lab_carried_tables() {
    static const std::vector<carried_table> tables{{lab_store::qc_marks_table, {"mark"}}};
    return tables;
}

std::vector<save_hook> qc_mark_hooks(const std::string& location, const read_only_options& options) {
    std::string mark;
    try {
        const qc_state state = read_qc_state(location, options);
        if (state.current) return {};
        mark = state.line;
    } catch (const std::exception& e) {
        mark = std::string("QC state unknown: ") + e.what();
    }
    return {[mark](results_store& store, const saved_row& row) {
        store.create_when_absent(lab_store::qc_marks_table);
        store.execute(lab_store::insert_qc_mark, {std::to_string(row.id), mark});
    }};
}

} // namespace xkv
