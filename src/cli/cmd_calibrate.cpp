// "calibrate": the lab's calibrations from standards, measured as "measure" measures or from counts
// read elsewhere, kept as records in the results store and applied to the set's keys on request.

#include "cli/commands.h"
#include "cli/tsv.h"
#include "lab/calibration_entry.h"
#include "lab/calibration_keeping.h"
#include "lab/calibration_records.h"
#include "lab/standard_run.h"
#include "link/diagnostic_log.h"
#include "measurement/measurement_setup.h"
#include "measurement/parameter_sets.h"
#include "measurement/run_engine.h"
#include "settings/errors.h"
#include "settings/value_text.h"

#include <cmath>

namespace xkv::cli {

namespace {

const std::string& required(const command_line& line, const char* name) {
    const std::string* v = line.value(name);
    if (!v) throw usage_error("calibrate " + line.positional.front() + " needs --" + name);
    return *v;
}

double number(const command_line& line, const char* name) {
    const std::string& text = required(line, name);
    try {
        const double value = parse_float(text);
        if (std::isfinite(value)) return value;
    } catch (const conversion_error&) {}
    throw usage_error("--" + std::string(name) + " takes a number, not '" + text + "'");
}

int channel_of(const command_line& line, const char* option) {
    const std::string& text = required(line, option);
    if (text == "alpha") return 0;
    if (text == "beta") return 1;
    throw usage_error("--" + std::string(option) + " is alpha or beta, not '" + text + "'");
}

// "--counts N --time T" (or "NA,NB" for crosstalk) with the set's background as a run would take it.
standard_counts entered_counts(context& c, const command_line& line, const _calibration& set, bool both) {
    std::array<double, 2> values;
    try {
        values = entered_count_values(required(line, "counts"), both);
    } catch (const calibration_error& e) {
        throw usage_error(std::string("--counts: ") + e.what());
    }
    return entered_counts(values, number(line, "time"), c.profile, set);
}

// The standard counted through the run as "measure" counts a sample. Returns an exit code when
// the count did not finish.
std::optional<int> measure_standard(context& c, const command_line& line, const std::string& set_name,
                                    calibration_kind kind, standard_counts& counts, std::string& counter) {
    const std::string calibration_path = c.file(calibration_file);
    const std::string* nuclide = line.value("nuclide");
    const std::string* preset = line.value("preset");
    measurement_setup setup = standard_setup(calibration_path, set_name, kind, nuclide ? *nuclide : std::string(),
                                             preset ? std::optional<std::string>(*preset) : std::nullopt);
    if (const auto code = press_start(c, setup)) return code;

    counter = instrument_counter(c.options, c.env.wait);
    diagnostic_log log;
    run_engine engine(c.options, c.profile, setup.fields, calibration_path, c.env.wait, &log);
    if (const auto code = open_run(c, engine)) return code;
    count(c, engine);
    const bool finished = engine.state() == run_state::finished && engine.row_count() > 0;
    const _r_results row = engine.table()[0];
    engine.close();
    if (!finished) {
        c.err << "the standard's count did not finish: nothing was recorded\n";
        return exit_run_failed;
    }
    counts = counts_of_row(row);
    return std::nullopt;
}

int keep_calibration(context& c, const command_line& line, calibration_record rec, const std::string& counter) {
    rec = store_calibration(*open_results_store(c.database_path(), {c.read_only.busy_timeout_ms}), std::move(rec),
                            counter, line.flag("apply"));
    // The stored record is printed before its keys are written, so a failing write still shows it.
    write_tsv_row(c.out, calibration_history_headers);
    write_tsv_row(c.out, calibration_history_cells(rec));
    if (rec.applied) {
        apply_calibration(c.file(calibration_file), rec);
        c.err << kind_name(rec.kind) << " " << rec.value << " (u " << rec.u << ") applied to the set " << rec.set_name
              << "\n";
    }
    return exit_ok;
}

int calibrate_standard(context& c, const command_line& line, bool efficiency) {
    const std::string calibration_path = c.file(calibration_file);
    measurement_setup sets(calibration_path);
    sets.form_show();
    const std::string set_name = chosen_set(sets, required(line, "set"), calibration_path);
    const _calibration set = load_parameter_set(calibration_path, set_name);
    const int channel = channel_of(line, efficiency ? "channel" : "source");
    const calibration_kind kind =
        efficiency ? (channel == 0 ? calibration_kind::alpha_efficiency : calibration_kind::beta_efficiency)
                   : (channel == 0 ? calibration_kind::alpha_to_beta : calibration_kind::beta_to_alpha);
    certified_source source;
    if (const std::string* v = line.value("nuclide")) source.nuclide = *v;
    if (efficiency) {
        source.activity = number(line, "activity");
        source.u_activity = number(line, "u-activity");
        source.reference_date = required(line, "reference-date");
        source.half_life_years = number(line, "half-life-years");
    }

    standard_counts counts;
    std::string counter;
    std::string measured_date = utc_now_text().substr(0, 10);
    if (line.value("counts")) {
        counts = entered_counts(c, line, set, !efficiency);
        if (const std::string* d = line.value("measured-date")) measured_date = *d;
    } else {
        if (line.value("time") || line.value("measured-date"))
            throw usage_error("--time and --measured-date go with --counts");
        if (const auto code = measure_standard(c, line, set_name, kind, counts, counter)) return *code;
    }
    try {
        return keep_calibration(c, line, make_calibration(set_name, kind, source, counts, measured_date), counter);
    } catch (const calibration_error& e) {
        c.err << e.what() << ": nothing was recorded\n";
        return exit_usage;
    }
}

int calibration_list(context& c, const command_line& line) {
    std::optional<std::string> set;
    if (const std::string* v = line.value("set")) set = *v;
    write_tsv_row(c.out, calibration_history_headers);
    const auto store = open_existing_store(c.database_path(), {c.read_only.busy_timeout_ms});
    if (!store) return exit_ok; // no database yet: no calibrations
    for (const calibration_record& rec : calibration_history(*store, set))
        write_tsv_row(c.out, calibration_history_cells(rec));
    return exit_ok;
}

} // namespace

int cmd_calibrate(context& c, const command_line& line) {
    const std::string& what = line.positional.front();
    if (what == "efficiency") return calibrate_standard(c, line, true);
    if (what == "crosstalk") return calibrate_standard(c, line, false);
    if (what == "list") return calibration_list(c, line);
    throw usage_error("calibrate takes efficiency, crosstalk or list, not '" + what + "'");
}

} // namespace xkv::cli
