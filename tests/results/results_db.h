#pragma once
// Helpers of the results tests: a database in a temporary folder, filled rows, raw look-ups.

#include "measurement/r_results.h"
#include "results/t_sqlite.h"
#include "support/temp_dir.h"

#include <string>
#include <vector>

namespace xkv::test {

// A measured row whose every field holds a different text.
inline _r_results measured_row(const std::string& sample_id) {
    _r_results r;
    r.sample_id = sample_id;
    r.description = "soil";
    r.series_number = "1";
    r.hv = "1000";
    r.mode = "C1-C2";
    r.p1 = "12.5";
    r.p2 = "340";
    r.time = "100";
    r.preset_time = "100";
    r.calibration.alpha = "0.31";
    r.calibration.beta = "0.42";
    r.calibration.act_alpha = "0.013";
    r.calibration.act_beta = "0.024";
    r.calibration.caption = "wipe test";
    r.calibration.name = "wipe";
    r.calibration.background_correction = true;
    r.activity_l = "1.25";
    r.u_activity_l = "0.15";
    r.activity_b = "3.4";
    r.u_activity_b = "0.25";
    r.background = {"0.02", "0.03", "600"};
    r.quantity = "2.5";
    r.units = "Bq/g";
    r.MDA_a = "0.75";
    r.MDA_b = "0.5";
    r.koef_k = "0.2";
    r.text_act_a = "1.25";
    r.text_act_b = "activity_beta < MDA_beta";
    return r;
}

// Column 1 of every answer row of a raw statement.
inline std::vector<std::string> first_column(const std::string& db_path, const std::string& sql) {
    t_sqlite db(db_path);
    db.query(sql);
    std::vector<std::string> out;
    for (int r = 1; r <= db.row_count(); ++r) out.emplace_back(db.cell(r, 1));
    return out;
}

inline int result_count(const std::string& db_path) {
    return std::stoi(first_column(db_path, "SELECT count(*) FROM results").at(0));
}

} // namespace xkv::test
