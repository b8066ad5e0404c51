#include "lab/calibrations_at_save.h"

#include "lab/calibration_records.h"
#include "lab/crosstalk_keys.h"

namespace xkv {

namespace {

// The lab's records read and written through SAVE's store, inside SAVE's transaction.
class saving_record_store final : public record_store {
public:
    explicit saving_record_store(results_store& store) : store_(store) {}
    void execute(std::string_view sql, const std::vector<std::string>& values) override { store_.execute(sql, values); }
    text_table query(std::string_view sql, const std::vector<std::string>& values) override {
        return store_.query(sql, values);
    }
    bool has_table(std::string_view name) override { return store_.has_table(name); }
    // SAVE's transaction holds everything: it commits or undoes the records with the rows.
    void begin() override {}
    void commit() override {}
    void rollback() noexcept override {}

private:
    results_store& store_;
};

} // namespace

std::vector<save_hook> calibration_hooks(const std::string& calibration_path) {
    return {[calibration_path](results_store& store, const saved_row& row) {
        // A server keeps no calibration records yet; a file without them has none in force.
        if (store.dialect() != store_dialect::sqlite || !store.has_table("calibrations")) return;
        saving_record_store records(store);
        const _calibration& set = row.row.calibration;
        const auto in_force = calibrations_in_force(records, set, read_set_crosstalk(calibration_path, set.name));
        if (in_force.empty()) return;
        ensure_calibration_tables(records);
        record_calibrations_of_result(records, row.id, in_force);
    }};
}

} // namespace xkv
