// "plateau": the high-voltage plateau of one supply, measured step by step through the run engine.

#include "cli/commands.h"

#include "cli/tsv.h"
#include "lab/lab_store.h"
#include "lab/plateau_scan.h"
#include "settings/errors.h"
#include "settings/value_text.h"

namespace xkv::cli {

namespace {

constexpr int tick_slice_ms = 50;
constexpr std::size_t max_plateau_steps = 200;

double number_option(const command_line& line, const char* name, std::optional<double> fallback = std::nullopt) {
    const std::string* v = line.value(name);
    if (!v) {
        if (fallback) return *fallback;
        throw usage_error(std::string("plateau needs --") + name);
    }
    try {
        return parse_float(*v);
    } catch (const conversion_error&) {
        throw usage_error(std::string("--") + name + " takes a number, not '" + *v + "'");
    }
}

bool interrupted(const context& c) { return c.env.interrupted && c.env.interrupted->load(); }

plateau_request request_of(const command_line& line) {
    plateau_request r;
    const std::string* supply = line.value("supply");
    if (!supply || (*supply != "1" && *supply != "2")) throw usage_error("plateau needs --supply 1 or --supply 2");
    r.supply = *supply == "2" ? 2 : 1;
    r.channel = default_plateau_channel(r.supply);
    if (const std::string* ch = line.value("channel")) {
        if (*ch != "alpha" && *ch != "beta") throw usage_error("--channel takes alpha or beta, not '" + *ch + "'");
        r.channel = *ch == "beta" ? 1 : 0;
    }
    r.voltages = plateau_voltages(number_option(line, "from"), number_option(line, "to"), number_option(line, "step"));
    if (r.voltages.empty()) throw usage_error("plateau needs --from up to --to in steps above 0");
    if (r.voltages.size() > max_plateau_steps)
        throw usage_error("plateau takes at most " + std::to_string(max_plateau_steps) + " voltages");
    const std::string* preset = line.value("preset");
    if (!preset) throw usage_error("plateau needs --preset");
    if (digits_to_int(*preset) <= 0) throw usage_error("--preset takes a time in seconds above 0");
    r.preset_time = *preset;
    r.max_slope = number_option(line, "max-slope", default_plateau_max_slope);
    if (!(r.max_slope > 0)) throw usage_error("--max-slope takes a number above 0");
    return r;
}

void print_table(context& c, const plateau_analysis& a) {
    c.out << "voltage\tcounts\ttime\trate\tu_rate\tslope_to_next\n";
    for (std::size_t i = 0; i < a.points.size(); ++i) {
        const plateau_point& p = a.points[i];
        write_tsv_row(c.out, {format_general(p.voltage), format_general(p.counts), format_general(p.seconds),
                              format_general(p.rate), format_general(p.u_rate),
                              i < a.slopes.size() ? format_general(a.slopes[i]) : ""});
    }
    if (a.found)
        c.out << "plateau\t" << format_general(a.start) << "\t" << format_general(a.end) << "\tlength\t"
              << format_general(a.length()) << "\tslope\t" << format_general(a.slope) << "\toperating voltage\t"
              << format_general(a.operating_voltage) << "\n";
    else
        c.out << "plateau\tnone\n";
    c.out.flush();
}

} // namespace

int cmd_plateau(context& c, const command_line& line) {
    const plateau_request request = request_of(line);
    const std::string* png = line.value("png");
    if (png && !c.env.save_plateau) throw std::runtime_error("this xkv4410-cli was built without the chart library");
    diagnostic_log log;
    plateau_scan scan(c.options, c.profile, request, c.env.wait, &log);
    scan.on_interrupt([&c] { return interrupted(c); });
    scan.on_point([&c](const plateau_point& p) {
        c.err << "plateau " << format_general(p.voltage) << " V  " << format_general(p.counts) << " counts in "
              << format_general(p.seconds) << " s\n";
    });
    scan.start();
    while (scan.timer_on()) {
        for (int waited = 0; waited < tick_interval_ms && !interrupted(c); waited += tick_slice_ms)
            c.env.wait(tick_slice_ms);
        scan.tick();
    }
    bool no_instrument = false;
    for (const std::string& text : scan.take_notices()) {
        c.err << text << "\n";
        no_instrument = no_instrument || text == t_xkv::no_answer;
    }

    const plateau_analysis analysis = scan.analysis();
    print_table(c, analysis);
    if (!analysis.points.empty()) {
        plateau_record record = plateau_record_of(analysis, request.supply, request.channel, request.preset_time,
                                                  request.max_slope, origin_now(scan.counter()));
        lab_store(*open_results_store(c.database_path(), {c.read_only.busy_timeout_ms})).add(record);
        c.err << "plateau record " << record.id << " stored\n";
    }
    if (png && !analysis.points.empty()) {
        c.env.save_plateau(analysis, request.channel, *png);
        c.err << "file saved!\n";
    }
    switch (scan.state()) {
    case plateau_scan_state::finished: return exit_ok;
    case plateau_scan_state::failed: return no_instrument ? exit_no_instrument : exit_run_failed;
    default: return exit_run_failed;
    }
}

} // namespace xkv::cli
