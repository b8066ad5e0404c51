#include "sim_options.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <type_traits>

namespace xkv::sim {

namespace {

const char* const usage_head =
    "Usage: xkv4410-sim --link PATH [options]\n"
    "A simulated XKV 4410 counter on a pseudo-terminal. PATH becomes a symlink to the terminal;\n"
    "map a port to it in ini/program_opt.xkv, section [PORTS], e.g. COM1=PATH.\n"
    "\n";

const char* const usage_tail =
    "\n"
    "Behaviour: answers 20-50 ms after a command's LF. \"tarvo\" -> DEBUGMODE; \"n\" -> three lines\n"
    "naming the simulator; M0..M5 select the mode, T the preset time in seconds, every other\n"
    "setting (I1-I4, A0-A3, K0-K4, F1, F2, j1, j2, U) is kept. \"G\" clears the counters and starts\n"
    "counting, \"S\" stops; counting also stops when the preset time is reached. \"L\" -> elapsed\n"
    "whole seconds. \"R\" gives counts (rate x elapsed), \"P\" count rates: two lines (channel 1,\n"
    "channel 2) in modes M3, M4 and M5, otherwise one line with channel 1; R1/P1 and R2/P2 give\n"
    "one channel. Every line ends with CR LF. Ends on SIGTERM or SIGINT and removes the symlink.\n";

// Where the help of an option starts in --help; a longer option has the line to itself.
constexpr std::size_t help_column = 20;

// The whole text as a number of the value's type. A rate or speed of infinity or NaN would make
// the counts undefined, so a floating point number must be finite.
template <typename Number>
bool to_number(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if constexpr (std::is_floating_point_v<Number>)
        if (!std::isfinite(value)) return false;
    return ec == std::errc() && ptr == end;
}

// The setters the option table calls; each refuses a value it cannot take by returning false.
bool switch_on(bool& field) { return field = true; }

bool take(const std::string& text, std::string& field) {
    field = text;
    return true;
}

// Sets `field` to a number of at least zero (above zero unless `zero_allowed`).
bool set_amount(const std::string& text, double& field, bool zero_allowed) {
    double number = 0;
    if (!to_number(text, number) || number < 0 || (!zero_allowed && number == 0)) return false;
    field = number;
    return true;
}

bool set_count(const std::string& text, std::optional<long>& field) {
    long number = 0;
    if (!to_number(text, number) || number < 0) return false;
    field = number;
    return true;
}

bool set_plateau(const std::string& text, std::optional<plateau_curve>& field) {
    const auto comma = text.find(',');
    plateau_curve curve;
    if (comma == std::string::npos || !to_number(text.substr(0, comma), curve.knee) ||
        !to_number(text.substr(comma + 1), curve.slope) || curve.knee < 0)
        return false;
    field = curve;
    return true;
}

// One option: how --help shows it and what it sets. `set` refuses a value it cannot take.
struct sim_option {
    std::string_view name;
    std::string_view value;             // its value as --help names it; a switch has none
    std::vector<std::string_view> help; // its lines in --help
    bool (*set)(parse_result& r, const std::string& value);
    bool refusal_names_value = false; // a refusal says what the value should look like
};

// The options in the order --help lists them.
const std::vector<sim_option>& option_table() {
    using R = parse_result&;
    using V = const std::string&;
    static const std::vector<sim_option> options = {
        {"--link",
         "PATH",
         {"where to put the symlink (required; a stale symlink is replaced)"},
         [](R r, V v) { return take(v, r.options.link); }},
        {"--speed",
         "F",
         {"simulated seconds per real second (default 1)"},
         [](R r, V v) { return set_amount(v, r.options.speed, false); }},
        {"--alpha",
         "RATE",
         {"channel 1 count rate in counts per second (default 5)"},
         [](R r, V v) { return set_amount(v, r.options.alpha, true); }},
        {"--beta",
         "RATE",
         {"channel 2 count rate in counts per second (default 20)"},
         [](R r, V v) { return set_amount(v, r.options.beta, true); }},
        {"--noise", "", {"Poisson noise on counts and rates"}, [](R r, V) { return switch_on(r.options.noise); }},
        {"--seed",
         "N",
         {"seed of the noise, garbage and answer delays (default 1)"},
         [](R r, V v) { return to_number(v, r.options.seed); }},
        {"--silent", "", {"answer nothing at all"}, [](R r, V) { return switch_on(r.options.silent); }},
        {"--no-handshake",
         "",
         {"leave \"tarvo\" unanswered (other commands are answered)"},
         [](R r, V) { return switch_on(r.options.no_handshake); }},
        {"--fail-after",
         "N",
         {"stop answering value reads (R, P) after N of them"},
         [](R r, V v) { return set_count(v, r.options.fail_after); }},
        {"--hang-up",
         "",
         {"with --fail-after: hang up at the first read it fails, as an instrument",
          "unplugged mid-read (the terminal and the symlink go, the simulator ends)"},
         [](R r, V) { return switch_on(r.options.hang_up); }},
        {"--garbage",
         "",
         {"answer value, time and \"n\" queries with random bytes and CR LF"},
         [](R r, V) { return switch_on(r.options.garbage); }},
        {"--log",
         "FILE",
         {"append every command line received to FILE"},
         [](R r, V v) { return take(v, r.options.log); }},
        {"--plateau",
         "KNEE,SLOPE",
         {"count rates follow a plateau curve of the downloaded high voltage (j1 for",
          "channel 1, j2 for channel 2): a rise centred on KNEE volts, then a plateau",
          "of SLOPE % per 100 V through the --alpha/--beta rate at KNEE + 100 V"},
         [](R r, V v) { return set_plateau(v, r.options.plateau); },
         true},
        {"--help", "", {"show this text"}, [](R r, V) { return switch_on(r.help); }},
    };
    return options;
}

const sim_option* find_option(const std::string& argument) {
    const std::string_view name = argument == "-h" ? "--help" : std::string_view(argument); // -h: unlisted
    for (const sim_option& option : option_table())
        if (option.name == name) return &option;
    return nullptr;
}

// An option's lines in --help: its help beside it, or below it when it reaches the help column.
std::string option_help(const sim_option& option) {
    std::string first = "  " + std::string(option.name);
    if (!option.value.empty()) first += " " + std::string(option.value);
    std::string text;
    std::size_t line = 0;
    if (first.size() < help_column) {
        first.resize(help_column, ' ');
        text = first + std::string(option.help.front()) + "\n";
        line = 1;
    } else {
        text = first + "\n";
    }
    for (; line < option.help.size(); ++line)
        text += std::string(help_column, ' ') + std::string(option.help[line]) + "\n";
    return text;
}

} // namespace

std::string usage_text() {
    std::string text = usage_head;
    for (const sim_option& option : option_table()) text += option_help(option);
    return text + usage_tail;
}

parse_result parse_options(const std::vector<std::string>& args) {
    parse_result r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const sim_option* option = find_option(a);
        if (!option) {
            r.error = "unknown argument: " + a;
            return r;
        }
        std::string value;
        if (!option->value.empty()) {
            if (i + 1 >= args.size()) {
                r.error = a + " needs a value";
                return r;
            }
            value = args[++i];
        }
        if (!option->set(r, value)) {
            r.error = "bad value for " + a;
            if (option->refusal_names_value) r.error += " (" + std::string(option->value) + ")";
            r.error += ": " + value;
            return r;
        }
        if (r.help) return r;
    }
    if (r.options.link.empty())
        r.error = "--link PATH is required";
    else if (r.options.hang_up && !r.options.fail_after)
        r.error = "--hang-up needs --fail-after N";
    return r;
}

} // namespace xkv::sim
