#include "lab/calibration_records.h"

#include "lab/crosstalk_keys.h"
#include "settings/errors.h"
#include "settings/value_text.h"

#include <cstdlib>
#include <ctime>
#include <pwd.h>
#include <unistd.h>

namespace xkv {

namespace {

// Numbers are kept as texts, so both stores give them back exactly as written.
constexpr const char* columns =
    "id, set_name, kind, version, value, u, nuclide, activity, u_activity, reference_date, half_life_years, counts, "
    "counting_time, background_rate, background_time, measured_at, user_name, station, counter, applied";

// The SQLite and server forms differ only in how an id and an integer are declared.
std::string calibrations_statement(const char* id, const char* integer) {
    return std::string("CREATE TABLE calibrations (id ") + id + " PRIMARY KEY, set_name TEXT NOT NULL, " +
           "kind TEXT NOT NULL, version " + integer + " NOT NULL, value TEXT NOT NULL, u TEXT NOT NULL, " +
           "nuclide TEXT NOT NULL, activity TEXT NOT NULL, u_activity TEXT NOT NULL, reference_date TEXT NOT NULL, " +
           "half_life_years TEXT NOT NULL, counts TEXT NOT NULL, counting_time TEXT NOT NULL, " +
           "background_rate TEXT NOT NULL, background_time TEXT NOT NULL, measured_at TEXT NOT NULL, " +
           "user_name TEXT NOT NULL, station TEXT NOT NULL, counter TEXT NOT NULL, applied " + integer +
           " NOT NULL, UNIQUE (set_name, kind, version))";
}

std::string result_calibrations_statement(const char* integer) {
    return std::string("CREATE TABLE result_calibrations (result_id ") + integer + " NOT NULL, calibration_id " +
           integer + " NOT NULL, PRIMARY KEY (result_id, calibration_id))";
}

const side_table calibrations_table{
    "calibrations", {calibrations_statement("INTEGER", "INTEGER")}, {calibrations_statement("BIGSERIAL", "BIGINT")}};
const side_table result_calibrations_table{
    "result_calibrations", {result_calibrations_statement("INTEGER")}, {result_calibrations_statement("BIGINT")}};

calibration_record record_of(const text_table& rows, std::size_t r, std::size_t first = 0) {
    const auto at = [&](std::size_t c) { return std::string(rows.cell(r, first + c)); };
    calibration_record rec;
    rec.id = at(0);
    rec.set_name = at(1);
    rec.kind = kind_of(at(2)).value_or(calibration_kind::alpha_efficiency);
    rec.version = at(3);
    rec.value = at(4);
    rec.u = at(5);
    rec.nuclide = at(6);
    rec.activity = at(7);
    rec.u_activity = at(8);
    rec.reference_date = at(9);
    rec.half_life_years = at(10);
    rec.counts = at(11);
    rec.counting_time = at(12);
    rec.background_rate = at(13);
    rec.background_time = at(14);
    rec.measured_at = at(15);
    rec.user_name = at(16);
    rec.station = at(17);
    rec.counter = at(18);
    rec.applied = at(19) == "1";
    return rec;
}

std::vector<calibration_record> records_of(const text_table& rows) {
    std::vector<calibration_record> out;
    for (std::size_t r = 0; r < rows.row_count(); ++r) out.push_back(record_of(rows, r));
    return out;
}

// The texts the set's keys hold for a kind: value and uncertainty.
std::pair<std::string, std::string> keys_of(const _calibration& set, const crosstalk_factors& x, calibration_kind k) {
    switch (k) {
    case calibration_kind::alpha_efficiency: return {set.alpha, set.act_alpha};
    case calibration_kind::beta_efficiency: return {set.beta, set.act_beta};
    case calibration_kind::alpha_to_beta: return {format_general(x.alpha_to_beta), format_general(x.u_alpha_to_beta)};
    case calibration_kind::beta_to_alpha: return {format_general(x.beta_to_alpha), format_general(x.u_beta_to_alpha)};
    }
    return {};
}

// Two number texts that mean the same number ("0.3" and "0.30"); texts that are no numbers must match.
bool same_number(const std::string& a, const std::string& b) {
    if (a == b) return true;
    try {
        return parse_float(a) == parse_float(b);
    } catch (const conversion_error&) {
        return false;
    }
}

// Adds the record under its version; returns the id the store gave it.
std::string insert_record(results_store& store, const calibration_record& rec) {
    return std::string(
        store
            .query("INSERT INTO calibrations (set_name, kind, version, value, u, nuclide, activity, u_activity, "
                   "reference_date, half_life_years, counts, counting_time, background_rate, background_time, "
                   "measured_at, user_name, station, counter, applied) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id",
                   {rec.set_name, std::string(kind_name(rec.kind)), rec.version, rec.value, rec.u, rec.nuclide,
                    rec.activity, rec.u_activity, rec.reference_date, rec.half_life_years, rec.counts,
                    rec.counting_time, rec.background_rate, rec.background_time, rec.measured_at, rec.user_name,
                    rec.station, rec.counter, rec.applied ? "1" : "0"})
            .cell(0, 0));
}

} // namespace

void ensure_calibration_tables(results_store& store) {
    store.create_when_absent(calibrations_table);
    store.create_when_absent(result_calibrations_table);
}

calibration_record add_calibration(results_store& store, calibration_record rec) {
    results_store::transaction transaction(store);
    ensure_calibration_tables(store);
    const std::string kind(kind_name(rec.kind));
    const text_table last = store.query(
        "SELECT COALESCE(MAX(version), 0) + 1 FROM calibrations WHERE set_name = ? AND kind = ?", {rec.set_name, kind});
    rec.version = std::string(last.cell(0, 0));
    rec.id = insert_record(store, rec);
    transaction.commit();
    return rec;
}

std::string carried_calibration_id(results_store& store, const calibration_record& rec) {
    ensure_calibration_tables(store);
    const std::string kind(kind_name(rec.kind));
    const text_table same = store.query(
        "SELECT id FROM calibrations WHERE set_name = ? AND kind = ? AND value = ? AND u = ? AND measured_at = ? "
        "AND station = ? AND counter = ? ORDER BY id LIMIT 1",
        {rec.set_name, kind, rec.value, rec.u, rec.measured_at, rec.station, rec.counter});
    if (same.row_count() > 0) return std::string(same.cell(0, 0));
    calibration_record added = rec;
    const text_table taken = store.query("SELECT id FROM calibrations WHERE set_name = ? AND kind = ? AND version = ?",
                                         {rec.set_name, kind, rec.version});
    if (taken.row_count() > 0) // another station's record holds that number here: the next one
        added.version = std::string(store
                                        .query("SELECT COALESCE(MAX(version), 0) + 1 FROM calibrations WHERE "
                                               "set_name = ? AND kind = ?",
                                               {rec.set_name, kind})
                                        .cell(0, 0));
    return insert_record(store, added);
}

std::vector<calibration_record> calibration_history(results_store& store, const std::optional<std::string>& set) {
    if (!store.has_table("calibrations")) return {};
    const std::string select = std::string("SELECT ") + columns + " FROM calibrations";
    // Byte order on either store, as the file sorts texts (a server would sort by its locale).
    const std::string order = store.dialect() == store_dialect::sqlite
                                  ? " ORDER BY set_name, kind, version"
                                  : " ORDER BY set_name COLLATE \"C\", kind COLLATE \"C\", version";
    if (set) return records_of(store.query(select + " WHERE set_name = ?" + order, {*set}));
    return records_of(store.query(select + order));
}

std::vector<calibration_record> calibrations_in_force(results_store& store, const _calibration& set,
                                                      const crosstalk_factors& set_crosstalk) {
    std::vector<calibration_record> out;
    if (!store.has_table("calibrations")) return out;
    for (std::size_t k = 0; k < calibration_kind_count; ++k) {
        const auto kind = static_cast<calibration_kind>(k);
        const text_table rows = store.query(std::string("SELECT ") + columns +
                                                " FROM calibrations WHERE set_name = ? AND kind = ? AND applied = 1 "
                                                "ORDER BY version DESC LIMIT 1",
                                            {set.name, std::string(kind_name(kind))});
        if (rows.row_count() == 0) continue;
        calibration_record rec = record_of(rows, 0);
        const auto [value, u] = keys_of(set, set_crosstalk, kind);
        if (same_number(rec.value, value) && same_number(rec.u, u)) out.push_back(std::move(rec));
    }
    return out;
}

void record_calibrations_of_result(results_store& store, std::int64_t result_id,
                                   const std::vector<calibration_record>& in_force) {
    for (const calibration_record& rec : in_force)
        store.execute("INSERT INTO result_calibrations (result_id, calibration_id) VALUES (?, ?)",
                      {std::to_string(result_id), rec.id});
}

std::map<std::int64_t, std::vector<calibration_record>> calibrations_of_results(results_store& store) {
    std::map<std::int64_t, std::vector<calibration_record>> out;
    if (!store.has_table("result_calibrations") || !store.has_table("calibrations")) return out;
    std::string select = "SELECT r.result_id";
    for (const char* c : {"id",
                          "set_name",
                          "kind",
                          "version",
                          "value",
                          "u",
                          "nuclide",
                          "activity",
                          "u_activity",
                          "reference_date",
                          "half_life_years",
                          "counts",
                          "counting_time",
                          "background_rate",
                          "background_time",
                          "measured_at",
                          "user_name",
                          "station",
                          "counter",
                          "applied"})
        select += std::string(", c.") + c;
    const text_table rows =
        store.query(select + " FROM result_calibrations r JOIN calibrations c ON c.id = r.calibration_id "
                             "ORDER BY r.result_id, c.kind");
    for (std::size_t r = 0; r < rows.row_count(); ++r)
        out[digits_to_int(rows.cell(r, 0))].push_back(record_of(rows, r, 1));
    return out;
}

crosstalk_factors crosstalk_of_records(const std::vector<calibration_record>& records) {
    crosstalk_factors x;
    const auto number = [](const std::string& text) {
        try {
            return parse_float(text);
        } catch (const conversion_error&) {
            return 0.0;
        }
    };
    for (const calibration_record& rec : records) {
        if (rec.kind == calibration_kind::alpha_to_beta) {
            x.alpha_to_beta = number(rec.value);
            x.u_alpha_to_beta = number(rec.u);
        } else if (rec.kind == calibration_kind::beta_to_alpha) {
            x.beta_to_alpha = number(rec.value);
            x.u_beta_to_alpha = number(rec.u);
        }
    }
    return x;
}

std::string versions_text(const std::vector<calibration_record>& records) {
    std::string text;
    for (const calibration_record& rec : records) {
        if (!text.empty()) text += ", ";
        text += std::string(kind_name(rec.kind)) + " v" + rec.version;
    }
    return text;
}

std::string system_user() {
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return pw->pw_name;
    if (const char* user = std::getenv("USER")) return user;
    return std::to_string(geteuid());
}

std::string station_name() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string utc_now_text() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc);
    return text;
}

} // namespace xkv
