// "measure": what the setup dialog and the run window do, driven from the command line.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "link/diagnostic_log.h"
#include "measurement/measurement_setup.h"
#include "measurement/parameter_sets.h"
#include "measurement/run_engine.h"
#include "results/report_output.h"
#include "results/run_grid.h"
#include "results/save_results.h"
#include "settings/errors.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <algorithm>

namespace xkv::cli {

namespace {

constexpr int tick_interval_ms = 500;

const std::string& required(const command_line& line, const char* name) {
    const std::string* v = line.value(name);
    if (!v) throw usage_error(std::string("measure needs --") + name);
    return *v;
}

// The first of the seven texts that keeps START disabled, named as the operator would fill it.
std::string empty_field(const run_setup& f) {
    const std::pair<const std::string*, const char*> fields[] = {
        {&f.set_name, "parameter set (--set)"}, {&f.sample_id, "sample ID (--sample)"},
        {&f.description, "description (--description)"}, {&f.count, "count (--count)"},
        {&f.preset_time, "preset time (--preset)"}, {&f.quantity, "quantity (--quantity)"},
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

} // namespace

int cmd_measure(context& c, const command_line& line) {
    const std::string calibration_path = c.file(calibration_file);
    measurement_setup setup(calibration_path);
    setup.form_show();
    const std::string& set_name = required(line, "set");
    const auto& names = setup.set_names();
    if (std::find(names.begin(), names.end(), set_name) == names.end())
        throw usage_error("no parameter set '" + set_name + "' in " + calibration_path);

    // Choosing the set fills preset time, units and maybe the quantity; the options then override them.
    setup.choose_set(set_name);
    setup.fields.sample_id = required(line, "sample");
    setup.fields.description = required(line, "description");
    if (const std::string* v = line.value("preset")) setup.fields.preset_time = *v;
    if (const std::string* v = line.value("quantity")) setup.fields.quantity = *v;
    if (const std::string* v = line.value("units")) setup.fields.units = *v;
    if (const std::string* v = line.value("count")) setup.fields.count = *v;
    setup.fields_changed();
    if (!setup.start_enabled()) {
        c.err << "START is not possible: the " << empty_field(setup.fields) << " is empty\n";
        return exit_usage;
    }
    setup_start start;
    try {
        start = setup.start();
    } catch (const conversion_error& e) {  // a preset time or quantity that is not a number
        c.err << e.what() << "\n";
        return exit_usage;
    }
    for (const auto& message : start.messages) c.err << message << "\n";
    if (!start.open_run) return exit_usage;

    diagnostic_log log;
    run_engine engine(c.options, c.profile, setup.fields, calibration_path, c.env.wait, &log);
    engine.on_channels([&c, &engine](const channel_sample& s) {
        c.err << "measurement " << s.series_number << "/" << engine.measurement().series_total << "  "
              << s.elapsed << "/" << engine.measurement().preset_time << " s  alpha " << s.alpha << "  beta "
              << s.beta << "\n";
    });
    engine.open();
    show_notices(c, engine);
    if (engine.state() != run_state::ready) return exit_error;
    if (!engine.online())
        c.err << "the instrument did not answer the handshake: the measurement cannot reach its time "
                 "(Ctrl-C ends it)\n";

    engine.start();
    show_notices(c, engine);
    bool aborted = false;
    while (engine.timer_on()) {
        c.env.wait(tick_interval_ms);
        if (c.env.interrupted && *c.env.interrupted) {
            engine.stop();
            if (engine.state() == run_state::counting) {  // nothing answers, so STOP could not end it
                engine.abort([](const std::string&) { return true; });
                c.err << "measurement aborted: the instrument does not answer\n";
                aborted = true;
            }
            show_notices(c, engine);
            break;
        }
        engine.tick();
        show_notices(c, engine);
    }

    print_rows(c, engine.table());
    if (line.flag("save")) {
        const std::string database = resolve_program_path(c.dir, c.options.database);
        if (save_results(engine.table(), database) == save_outcome::no_data) c.err << no_data_to_save << "\n";
    }
    if (const std::string* file = line.value("report")) {
        const report_sources sources{resolve_program_path(c.dir, c.options.name), c.file(default_profile_file),
                                     c.profile.creator, engine.measurement()};
        const report_text report = make_report(sources, run_report_rows(engine.table()));
        if (!report.error_text.empty()) {
            c.err << report.error_text << "\n";
            return exit_error;
        }
        write_report_file(*file, report.lines);
    }
    const bool finished = engine.state() == run_state::finished && !aborted;
    engine.close();
    return finished ? exit_ok : exit_run_failed;
}

} // namespace xkv::cli
