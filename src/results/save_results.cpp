#include "results/save_results.h"

#include "results/t_sqlite.h"
#include "settings/value_text.h"

namespace xkv {

const char* const results_insert =
    "INSERT INTO results (sample_id,description,series_number,hv,mode,p1,p2,time,preset_time,cal_l,cal_b,"
    "cal_l_act,cal_b_act,cal_text,cal_name,activity_l,activity_b,u_activity_l,u_activity_b,bck_l,bck_b,"
    "bck_time,quantity,units,MDA_a,MDA_b,koef_k,bgn_corr,text_act_a,text_act_b)  values ("
    "?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";

std::vector<std::string> insert_values(const _r_results& r) {
    return {r.sample_id,
            r.description,
            r.series_number,
            r.hv,
            r.mode,
            to_local_decimal(r.p1),
            to_local_decimal(r.p2),
            r.time,
            r.preset_time,
            r.calibration.alpha,
            r.calibration.beta,
            r.calibration.act_alpha,
            r.calibration.act_beta,
            r.calibration.caption,
            r.calibration.name,
            r.activity_l,
            r.activity_b,
            r.u_activity_l,
            r.u_activity_b,
            r.background.alpha,
            r.background.beta,
            r.background.time,
            r.quantity,
            r.units,
            r.MDA_a,
            r.MDA_b,
            r.koef_k,
            r.calibration.background_correction ? "1" : "0",
            r.text_act_a,
            r.text_act_b};
}

save_outcome save_results(const run_table& table, const std::string& database_path) {
    if (table[0].sample_id.empty()) return save_outcome::no_data;
    t_sqlite db(database_path);
    t_sqlite::transaction all_rows(db);
    for (std::size_t i = 0; i < table.size() && !table[i].sample_id.empty(); ++i)
        db.query(results_insert, insert_values(table[i]));
    all_rows.commit();
    return save_outcome::saved;
}

} // namespace xkv
