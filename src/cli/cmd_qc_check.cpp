// "qc background", "qc source" and "qc status": the counter's daily checks, judged and stored.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "lab/lab_store.h"
#include "lab/standard_math.h"
#include "measurement/parameter_sets.h"
#include "settings/errors.h"
#include "settings/instrument_modes.h"
#include "settings/settings_files.h"
#include "settings/value_text.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <variant>

namespace xkv::cli {

namespace {

const char* const channel_names[] = {"alpha", "beta"};

double number_of(const std::string& option, const std::string& text) {
    try {
        return parse_float(text);
    } catch (const conversion_error&) {
        throw usage_error("--" + option + " takes a number, not '" + text + "'");
    }
}

const std::string& required(const command_line& line, const std::string& what, const char* name) {
    const std::string* v = line.value(name);
    if (!v) throw usage_error("qc " + what + " needs --" + name);
    return *v;
}

std::int64_t now_seconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Counts, time and the series of a QC count, and the counter that made it.
struct counted {
    std::array<double, 2> counts{};
    double seconds = 0;
    std::array<std::vector<double>, 2> series;
    std::string counter;
};

counted counts_given(const command_line& line, const std::string& kind) {
    const std::string& text = *line.value("counts");
    const auto comma = text.find(',');
    if (comma == std::string::npos) throw usage_error("--counts takes NA,NB");
    counted r;
    r.counts = {number_of("counts", text.substr(0, comma)), number_of("counts", text.substr(comma + 1))};
    r.seconds = number_of("time", required(line, kind, "time"));
    if (!(r.seconds > 0) || r.counts[0] < 0 || r.counts[1] < 0)
        throw usage_error("--counts takes counts of 0 or more and --time a time above 0");
    if (const std::string* counter = line.value("counter")) r.counter = *counter;
    return r;
}

// The count measured through the same engine as "measure"; an exit code when it did not finish.
std::variant<counted, int> counts_measured(context& c, const command_line& line, const std::string& set_name,
                                           const std::string& sample) {
    const std::string calibration_path = c.file(calibration_file);
    measurement_setup setup(calibration_path);
    setup.form_show();
    setup.choose_set(set_name);
    setup.fields.sample_id = sample;
    setup.fields.description = "counter QC";
    if (const std::string* v = line.value("preset")) setup.fields.preset_time = *v;
    if (const std::string* v = line.value("count")) setup.fields.count = *v;
    if (setup.fields.quantity.empty()) setup.fields.quantity = "1";
    if (setup.fields.units.empty()) setup.fields.units = "cps";
    setup.fields_changed();
    if (const auto code = press_start(c, setup)) return *code;

    diagnostic_log log;
    run_engine engine(c.options, c.profile, setup.fields, calibration_path, c.env.wait, &log);
    if (const auto code = open_run(c, engine)) return *code;
    count(c, engine);
    const bool finished = engine.state() == run_state::finished && engine.row_count() > 0;
    counted r;
    const instrument_mode* mode = find_mode(c.profile.mode);
    const bool counter_mode = mode && mode->reads == mode_reads::counters;
    for (std::size_t i = 0; i < engine.row_count(); ++i) {
        const _r_results& row = engine.table()[i];
        const auto t = digits_to_int(row.time);
        const double seconds = static_cast<double>(t == 0 ? 1 : t);
        r.seconds += seconds;
        const double values[] = {parse_float(row.p1), parse_float(row.p2)};
        for (std::size_t ch = 0; ch < 2; ++ch) {
            const double n = counter_mode ? values[ch] : values[ch] * seconds;
            r.counts[ch] += n;
            if (counter_mode) r.series[ch].push_back(n); // ratemeter values are no counts to test
        }
    }
    engine.close();
    if (!finished) return exit_run_failed;
    t_xkv link(c.options.port, c.options.speed, c.options.port_devices, &log);
    r.counter = counter_name(link);
    return r;
}

void print_record(context& c, const qc_record& r) {
    c.out << "kind\tchannel\tvalue\tu_value\texpected\tmean\tsigma\tverdict\n";
    for (std::size_t ch = 0; ch < 2; ++ch) {
        const qc_channel& q = r.channels[ch];
        if (!q.judged) continue;
        write_tsv_row(c.out, {r.kind, channel_names[ch], format_general(q.value), format_general(q.u_value),
                              format_general(q.expected), q.limits ? format_general(q.mean) : "",
                              q.limits ? format_general(q.sigma) : "", verdict_name(q.verdict)});
    }
    c.out << "verdict\t" << verdict_name(r.verdict) << "\n";
    c.out.flush();
    c.err << "QC record " << r.id << " stored: " << r.note << "\n";
}

int qc_check(context& c, const command_line& line, const std::string& kind) {
    const qc_options& options = c.read_only.qc;
    const std::string calibration_path = c.file(calibration_file);
    measurement_setup sets(calibration_path);
    sets.form_show();
    const std::string set_name = chosen_set(sets, required(line, kind, "set"), calibration_path);
    const _calibration set = load_parameter_set(calibration_path, set_name);

    qc_count in;
    in.kind = kind;
    in.tolerance_percent = options.tolerance_percent;
    in.background = {parse_float(c.profile.background.alpha), parse_float(c.profile.background.beta)};
    const auto t0 = digits_to_int(c.profile.background.time);
    in.background_seconds = static_cast<double>(t0 == 0 ? 1 : t0);
    in.background_correction = set.background_correction;
    std::string source;
    if (kind == qc_kind_source) {
        source = required(line, kind, "source");
        const double a0 = number_of("activity", required(line, kind, "activity"));
        const double half_life = number_of("half-life-years", required(line, kind, "half-life-years"));
        const std::string& date = required(line, kind, "reference-date");
        const auto reference = civil_day(date);
        if (!reference) throw usage_error("--reference-date takes a date as YYYY-MM-DD, not '" + date + "'");
        if (!(a0 > 0) || !(half_life > 0)) throw usage_error("--activity and --half-life-years take numbers above 0");
        const double days = static_cast<double>(now_seconds() / 86400 - *reference);
        in.activity = decayed_activity(a0, days, half_life);
        in.efficiency = {parse_float(set.alpha), parse_float(set.beta)};
        if (const std::string* ch = line.value("channel")) {
            if (*ch != "alpha" && *ch != "beta") throw usage_error("--channel takes alpha or beta, not '" + *ch + "'");
            in.channels = {*ch == "alpha", *ch == "beta"};
        }
    }

    counted measured;
    if (line.value("counts")) {
        measured = counts_given(line, kind);
    } else {
        const auto outcome = counts_measured(c, line, set_name, "QC " + kind + (source.empty() ? "" : " " + source));
        if (const int* code = std::get_if<int>(&outcome)) return *code;
        measured = std::get<counted>(outcome);
    }
    in.counts = measured.counts;
    in.seconds = measured.seconds;
    in.series = measured.series;

    const auto database = open_results_store(c.database_path(), {c.read_only.busy_timeout_ms});
    lab_store store(*database);
    qc_record record = judge_qc(in, store.qc_records(), measured.counter, source);
    record.origin = origin_now(measured.counter);
    record.set_name = set_name;
    store.add(record);
    print_record(c, record);
    return record.verdict == qc_verdict::fail ? exit_qc_failed : exit_ok;
}

std::string age_text(std::int64_t now, const std::string& when) {
    const auto at = utc_seconds(when);
    if (!at) return "";
    return format_general(std::round(static_cast<double>(now - *at) / 360) / 10);
}

int qc_status(context& c) {
    const qc_options& options = c.read_only.qc;
    const std::vector<qc_record> records = qc_records_at(c.database_path(), {c.read_only.busy_timeout_ms});
    std::vector<std::string> counters;
    for (const qc_record& r : records)
        if (std::find(counters.begin(), counters.end(), r.origin.counter) == counters.end())
            counters.push_back(r.origin.counter);
    const std::int64_t now = now_seconds();
    c.out << "counter\tkind\tverdict\twhen\tage_hours\n";
    for (const std::string& counter : counters)
        for (const char* kind : {qc_kind_background, qc_kind_source})
            if (const qc_record* last = last_qc(records, counter, kind))
                write_tsv_row(c.out, {counter, kind, verdict_name(last->verdict), last->origin.when,
                                      age_text(now, last->origin.when)});
    for (const std::string& counter : counters)
        write_tsv_row(
            c.out,
            {counter, "QC", qc_current_for(records, counter, now, options.max_age_hours) ? "current" : "not current"});
    if (counters.empty()) c.err << "no QC records\n";
    return exit_ok;
}

} // namespace

int cmd_qc_check(context& c, const command_line& line) {
    const std::string& what = line.positional.front();
    if (what == "status") return qc_status(c);
    if (what == qc_kind_background || what == qc_kind_source) return qc_check(c, line, what);
    throw usage_error("qc knows chi2, background, source and status, not '" + what + "'");
}

} // namespace xkv::cli
