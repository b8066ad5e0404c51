// "calibrate": the lab's calibrations from standards, measured as "measure" measures or from counts
// read elsewhere, kept as records in the results store and applied to the set's keys on request.

#include "cli/commands.h"
#include "cli/tsv.h"
#include "lab/calibration_records.h"
#include "lab/standard_calibration.h"
#include "link/device_test.h"
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

// The instrument's identity as one line.
std::string one_line(std::string text) {
    for (char& ch : text)
        if (ch == '\r' || ch == '\n') ch = ' ';
    return std::string(trim_control(text));
}

const std::vector<std::string> history_headers = {
    "set",     "kind",          "version",         "value",           "u",
    "nuclide", "activity",      "u_activity",      "reference_date",  "half_life_years",
    "counts",  "counting_time", "background_rate", "background_time", "measured_at",
    "user",    "station",       "counter",         "applied"};

std::vector<std::string> history_cells(const calibration_record& r) {
    return {r.set_name,
            std::string(kind_name(r.kind)),
            r.version,
            r.value,
            r.u,
            r.nuclide,
            r.activity,
            r.u_activity,
            r.reference_date,
            r.half_life_years,
            r.counts,
            r.counting_time,
            r.background_rate,
            r.background_time,
            r.measured_at,
            r.user_name,
            r.station,
            r.counter,
            r.applied ? "yes" : "no"};
}

// "--counts N --time T" (or "NA,NB" for crosstalk) with the set's background as a run would take it.
standard_counts entered_counts(context& c, const command_line& line, const _calibration& set, bool both) {
    const std::string& text = required(line, "counts");
    standard_counts counts;
    const auto comma = text.find(',');
    if (both != (comma != std::string::npos))
        throw usage_error(both ? "--counts takes N_alpha,N_beta" : "--counts takes one number of counts");
    try {
        if (both) {
            counts.counts = {parse_float(text.substr(0, comma)), parse_float(text.substr(comma + 1))};
        } else {
            counts.counts[0] = counts.counts[1] = parse_float(text);
        }
    } catch (const conversion_error&) {
        throw usage_error("--counts takes numbers, not '" + text + "'");
    }
    counts.time = number(line, "time");
    const auto t0 = digits_to_int(c.profile.background.time);
    counts.background_time = static_cast<double>(t0 == 0 ? 1 : t0);
    if (set.background_correction)
        counts.background_rate = {parse_float(c.profile.background.alpha), parse_float(c.profile.background.beta)};
    return counts;
}

// The standard counted through the run as "measure" counts a sample. Returns an exit code when
// the count did not finish.
std::optional<int> measure_standard(context& c, const command_line& line, const std::string& set_name,
                                    const std::string& what, standard_counts& counts, std::string& counter) {
    const std::string calibration_path = c.file(calibration_file);
    measurement_setup setup(calibration_path);
    setup.form_show();
    setup.choose_set(set_name);
    const std::string* nuclide = line.value("nuclide");
    setup.fields.sample_id = "standard" + (nuclide ? " " + *nuclide : std::string());
    setup.fields.description = what + " calibration";
    if (const std::string* v = line.value("preset")) setup.fields.preset_time = *v;
    if (setup.fields.quantity.empty()) setup.fields.quantity = "1";
    if (setup.fields.units.empty()) setup.fields.units = "Bq";
    setup.fields_changed();
    if (const auto code = press_start(c, setup)) return code;

    counter = one_line(run_device_test(c.options, nullptr, c.env.wait));
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
    rec.measured_at = utc_now_text();
    rec.user_name = system_user();
    rec.station = station_name();
    rec.counter = counter;
    rec.applied = line.flag("apply");
    rec = add_calibration(*open_results_store(c.database_path(), {c.read_only.busy_timeout_ms}), rec);
    write_tsv_row(c.out, history_headers);
    write_tsv_row(c.out, history_cells(rec));
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
        const std::string what = efficiency ? std::string(channel == 0 ? "alpha" : "beta") + " efficiency"
                                            : std::string(channel == 0 ? "alpha" : "beta") + " crosstalk";
        if (const auto code = measure_standard(c, line, set_name, what, counts, counter)) return *code;
    }
    try {
        return keep_calibration(c, line,
                                efficiency ? efficiency_calibration(set_name, channel, source, counts, measured_date)
                                           : crosstalk_calibration(set_name, channel, source.nuclide, counts),
                                counter);
    } catch (const calibration_error& e) {
        c.err << e.what() << ": nothing was recorded\n";
        return exit_usage;
    }
}

int calibration_list(context& c, const command_line& line) {
    std::optional<std::string> set;
    if (const std::string* v = line.value("set")) set = *v;
    write_tsv_row(c.out, history_headers);
    const auto store = open_existing_store(c.database_path(), {c.read_only.busy_timeout_ms});
    if (!store) return exit_ok; // no database yet: no calibrations
    for (const calibration_record& rec : calibration_history(*store, set)) write_tsv_row(c.out, history_cells(rec));
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
