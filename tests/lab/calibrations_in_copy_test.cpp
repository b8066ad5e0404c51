// A copy carries each row's calibrations: the same record found again in the target, or added
// there under the next version when another station's record holds its number.

#include "lab/calibration_records.h"
#include "lab/calibrations_in_copy.h"
#include "results/results_db.h"
#include "results/save_results.h"
#include "results/viewer_query.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace xkv;
using namespace xkv::test;

namespace {

calibration_record chi(const std::string& value, const std::string& station) {
    calibration_record r;
    r.set_name = "Soil";
    r.kind = calibration_kind::alpha_to_beta;
    r.value = value;
    r.u = "0.002";
    r.measured_at = "2026-12-01 10:00:00";
    r.station = station;
    r.applied = true;
    return r;
}

// One saved row linked to `rec`; returns the row's id.
std::int64_t saved_with(results_store& store, const calibration_record& rec) {
    run_table table{};
    table[0] = measured_row("S1");
    std::int64_t id = 0;
    save_results(table, store, new_row_keys(table), {[&](results_store& s, const saved_row& row) {
                     id = row.id;
                     record_calibrations_of_result(s, row.id, {rec});
                 }});
    return id;
}

} // namespace

TEST(CalibrationsInCopy, ARowKeepsItsRecordWhateverTheTargetHoldsUnderItsNumber) {
    temp_dir dir;
    const auto a = open_results_store(dir.file("a.mdb")), b = open_results_store(dir.file("b.mdb"));
    const calibration_record ours = add_calibration(*a, chi("0.04", "station-a"));
    add_calibration(*b, chi("0.05", "station-b")); // v1 in the target is another record
    saved_with(*a, ours);
    saved_with(*a, ours);

    copy_companions carried;
    carried.push_back(std::make_unique<calibrations_in_copy>());
    copy_rows(*a, *b, base_select(), {}, 500, carried);
    const auto history = calibration_history(*b);
    ASSERT_EQ(history.size(), 2u) << "the record is added once for both rows";
    EXPECT_EQ(history[1].version, "2");
    EXPECT_EQ(history[1].value, "0.04");
    EXPECT_EQ(history[1].station, "station-a");
    const auto links = calibrations_of_results(*b);
    ASSERT_EQ(links.size(), 2u);
    for (const auto& [row, records] : links) EXPECT_EQ(versions_text(records), "crosstalk alpha to beta v2") << row;

    // Copied again into a third store, the record is found by its content, not by its number.
    const auto c = open_results_store(dir.file("c.mdb"));
    copy_companions again;
    again.push_back(std::make_unique<calibrations_in_copy>());
    copy_rows(*b, *c, base_select(), {}, 500, again);
    EXPECT_EQ(calibration_history(*c).size(), 1u);
    EXPECT_EQ(calibration_history(*c)[0].value, "0.04");
}
