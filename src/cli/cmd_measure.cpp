// "measure": what the setup dialog and the run window do, driven from the command line.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "lab/calibrations_at_save.h"
#include "lab/qc_marks.h"
#include "link/diagnostic_log.h"
#include "measurement/measurement_setup.h"
#include "measurement/parameter_sets.h"
#include "measurement/run_engine.h"
#include "measurement/run_setup.h"
#include "results/report_output.h"
#include "results/run_grid.h"
#include "results/save_results.h"
#include "results/spool.h"
#include "results/spool_push.h"
#include "results/store_writable.h"
#include "settings/ascii_case.h"
#include "settings/errors.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <string_view>

namespace xkv::cli {

namespace {

constexpr int tick_slice_ms = 50;

const std::string& required(const command_line& line, const char* name) {
    const std::string* v = line.value(name);
    if (!v) throw usage_error(std::string("measure needs --") + name);
    return *v;
}

// The first of the seven texts that keeps START disabled, named as the operator would fill it.
std::string empty_field(const run_setup& f) {
    const std::pair<const std::string*, const char*> fields[] = {{&f.set_name, "parameter set (--set)"},
                                                                 {&f.sample_id, "sample ID (--sample)"},
                                                                 {&f.description, "description (--description)"},
                                                                 {&f.count, "count (--count)"},
                                                                 {&f.preset_time, "preset time (--preset)"},
                                                                 {&f.quantity, "quantity (--quantity)"},
                                                                 {&f.units, "units (--units)"}};
    for (const auto& [text, name] : fields)
        if (text->empty()) return name;
    return "setup";
}

void show_notices(context& c, run_engine& engine) {
    for (const auto& notice : engine.take_notices()) c.err << notice.text << "\n";
}

void print_rows(context& c, const run_table& table) {
    const auto grid = show_table(table);
    write_tsv_row(c.out, grid.front());
    for (std::size_t slot = 0; slot + 1 < grid.size(); ++slot)
        if (!table[slot].sample_id.empty()) write_tsv_row(c.out, grid[slot + 1]);
    c.out.flush();
}

bool negative_number(const std::string& text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() && value < 0;
}

bool interrupted(const context& c) { return c.env.interrupted && c.env.interrupted->load(); }

// The setup dialog filled from the options: the set first, whose choice fills preset time, units and
// maybe the quantity, then the options override them. Returns an exit code if the command ends here.
std::optional<int> fill_setup(context& c, const command_line& line, measurement_setup& setup,
                              const std::string& calibration_path) {
    setup.form_show();
    setup.choose_set(chosen_set(setup, required(line, "set"), calibration_path));
    setup.fields.sample_id = required(line, "sample");
    setup.fields.description = required(line, "description");
    if (const std::string* v = line.value("preset")) setup.fields.preset_time = *v;
    if (const std::string* v = line.value("quantity")) setup.fields.quantity = *v;
    if (const std::string* v = line.value("units")) setup.fields.units = *v;
    if (const std::string* v = line.value("count")) {
        // The window's field takes digits only; a negative number here would lose its sign.
        if (negative_number(*v)) {
            c.err << count_zero_message << "\n";
            return exit_usage;
        }
        setup.fields.count = *v;
    }
    setup.fields_changed();
    // The instrument takes whole seconds; any other text ("1.5") would count to a time never reached.
    const std::string& preset = setup.fields.preset_time;
    if (!preset.empty() && !std::all_of(preset.begin(), preset.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) {
        c.err << "preset time '" << preset << "' is not a whole number of seconds (--preset)\n";
        return exit_usage;
    }
    return std::nullopt;
}

} // namespace

std::string chosen_set(measurement_setup& setup, const std::string& wanted, const std::string& calibration_path) {
    // Set names are sections of the file, matched without regard to letter case as the file does.
    const auto& names = setup.set_names();
    const auto found =
        std::find_if(names.begin(), names.end(), [&](const std::string& n) { return equal_ignoring_case(n, wanted); });
    if (found == names.end()) throw usage_error("no parameter set '" + wanted + "' in " + calibration_path);
    return *found;
}

std::optional<int> press_start(context& c, measurement_setup& setup) {
    if (!setup.start_enabled()) {
        c.err << "START is not possible: the " << empty_field(setup.fields) << " is empty\n";
        return exit_usage;
    }
    setup_start start;
    try {
        start = setup.start();
    } catch (const conversion_error& e) { // a preset time or quantity that is not a number
        c.err << e.what() << "\n";
        return exit_usage;
    }
    for (const auto& message : start.messages) c.err << message << "\n";
    if (!start.open_run) return exit_usage;
    return std::nullopt;
}

std::optional<int> open_run(context& c, run_engine& engine) {
    engine.on_interrupt([&c] { return interrupted(c); });
    engine.on_channels([&c, &engine](const channel_sample& s) {
        c.err << "measurement " << s.series_number << "/" << engine.measurement().series_total << "  " << s.elapsed
              << "/" << engine.measurement().preset_time << " s  alpha " << s.alpha << "  beta " << s.beta << "\n";
    });
    engine.open();
    show_notices(c, engine);
    if (engine.state() != run_state::ready) return exit_error;
    if (interrupted(c)) { // before START: nothing was started, so nothing is kept
        engine.close();
        c.err << "measurement cancelled: nothing was started or stored\n";
        return exit_run_failed;
    }
    if (!engine.online()) { // a count nothing answers could never end
        engine.close();
        c.err << t_xkv::no_answer << "\n";
        return exit_no_instrument;
    }
    return std::nullopt;
}

// Counts until the series ends or an interrupt stops it; true when an interrupt cut a count short.
bool count(context& c, run_engine& engine) {
    engine.start();
    show_notices(c, engine);
    while (engine.timer_on()) {
        // The pause between ticks ends early on an interrupt, so STOP follows at once.
        for (int waited = 0; waited < tick_interval_ms && !interrupted(c); waited += tick_slice_ms)
            c.env.wait(tick_slice_ms);
        if (interrupted(c)) {
            engine.stop();
            show_notices(c, engine);
            return true;
        }
        engine.tick();
        show_notices(c, engine);
    }
    // An interrupt during the end of a measurement lets that one finish but starts no other.
    return engine.row_count() < static_cast<std::size_t>(engine.measurement().series_total);
}

namespace {

// SAVE; a run the store cannot take, for whatever reason, is kept in the spool under the same
// row keys instead of being dropped. Returns exit_spooled then, exit_error if even that failed.
int save_or_spool(context& c, const run_table& table) {
    if (table[0].sample_id.empty()) {
        c.err << no_data_to_save << "\n";
        return exit_ok;
    }
    const std::string database = c.database_path();
    const std::vector<std::string> keys = new_row_keys(table);
    std::string reason;
    // The QC mark goes with the rows wherever they are kept, the spool too.
    auto hooks = qc_mark_hooks(database, c.read_only);
    for (auto& hook : calibration_hooks(c.file(calibration_file))) hooks.push_back(std::move(hook));
    try {
        save_results(table, *open_results_store(database, {c.read_only.busy_timeout_ms}), keys, hooks);
        return exit_ok;
    } catch (const std::exception& e) {
        reason = e.what();
    }
    const std::string spool = spool_path(c.program_dir);
    const std::string rows = keys.size() == 1 ? "1 row" : std::to_string(keys.size()) + " rows";
    c.err << reason << "\n";
    try {
        spool_run(table, keys, spool, c.read_only.busy_timeout_ms, hooks);
    } catch (const std::exception& e) {
        c.err << e.what() << "\nthe run (" << rows << ") was not saved to \"" << store_shown(database)
              << "\" and could not be kept in the spool \"" << spool << "\": its rows are only on stdout\n";
        return exit_error;
    }
    c.err << "the run (" << rows << ") was not saved to \"" << store_shown(database) << "\" and is kept in the spool \""
          << spool << "\"; \"xkv4410-cli db push\" stores it there\n";
    return exit_spooled;
}

// The rows on stdout, then SAVE and the report as the options ask; closes the run.
int keep_results(context& c, const command_line& line, run_engine& engine, bool cut_short) {
    print_rows(c, engine.table());
    const int stored = line.flag("save") ? save_or_spool(c, engine.table()) : exit_ok;
    if (const std::string* file = line.value("report")) {
        const report_sources sources = c.report_sources_for(engine.measurement());
        const report_text report = write_numbered_report(sources, run_report_rows(engine.table()), *file);
        if (!report.error_text.empty()) {
            c.err << report.error_text << "\n";
            return exit_error;
        }
    }
    const bool finished = engine.state() == run_state::finished;
    engine.close();
    if (finished && cut_short) c.err << "interrupted: the count was stopped early; what was counted is kept\n";
    if (stored != exit_ok) return stored; // the rows wait to be pushed: the first thing to act on
    return finished && !cut_short ? exit_ok : exit_run_failed;
}

} // namespace

int cmd_measure(context& c, const command_line& line) {
    const std::string calibration_path = c.file(calibration_file);
    measurement_setup setup(calibration_path);
    if (const auto code = fill_setup(c, line, setup, calibration_path)) return *code;
    if (line.flag("save")) {
        // Known now, not after the count: nothing is sent to the instrument.
        const std::string database = c.database_path();
        if (const std::string problem = store_write_problem(database); !problem.empty()) {
            c.err << store_not_writable_message(problem, database) << "\n";
            return exit_usage;
        }
    }
    if (const auto code = press_start(c, setup)) return *code;

    diagnostic_log log;
    run_engine engine(c.options, c.profile, setup.fields, calibration_path, c.env.wait, &log);
    if (const auto code = open_run(c, engine)) return *code;
    const bool cut_short = count(c, engine);
    return keep_results(c, line, engine, cut_short);
}

} // namespace xkv::cli
