#include "sim_options.h"

#include <charconv>

namespace xkv::sim {

const char* const usage_text =
    "Usage: xkv4410-sim --link PATH [options]\n"
    "A simulated XKV 4410 counter on a pseudo-terminal. PATH becomes a symlink to the terminal;\n"
    "map a port to it in ini/program_opt.xkv, section [PORTS], e.g. COM1=PATH.\n"
    "\n"
    "  --link PATH       where to put the symlink (required; a stale symlink is replaced)\n"
    "  --speed F         simulated seconds per real second (default 1)\n"
    "  --alpha RATE      channel 1 count rate in counts per second (default 5)\n"
    "  --beta RATE       channel 2 count rate in counts per second (default 20)\n"
    "  --noise           Poisson noise on counts and rates\n"
    "  --seed N          seed of the noise, garbage and answer delays (default 1)\n"
    "  --silent          answer nothing at all\n"
    "  --no-handshake    leave \"tarvo\" unanswered (other commands are answered)\n"
    "  --fail-after N    stop answering value reads (R, P) after N of them\n"
    "  --garbage         answer value, time and \"n\" queries with random bytes and CR LF\n"
    "  --log FILE        append every command line received to FILE\n"
    "  --plateau KNEE,SLOPE\n"
    "                    count rates follow a plateau curve of the downloaded high voltage (j1 for\n"
    "                    channel 1, j2 for channel 2): a rise centred on KNEE volts, then a plateau\n"
    "                    of SLOPE % per 100 V through the --alpha/--beta rate at KNEE + 100 V\n"
    "  --help            show this text\n"
    "\n"
    "Behaviour: answers 20-50 ms after a command's LF. \"tarvo\" -> DEBUGMODE; \"n\" -> three lines\n"
    "naming the simulator; M0..M5 select the mode, T the preset time in seconds, every other\n"
    "setting (I1-I4, A0-A3, K0-K4, F1, F2, j1, j2, U) is kept. \"G\" clears the counters and starts\n"
    "counting, \"S\" stops; counting also stops when the preset time is reached. \"L\" -> elapsed\n"
    "whole seconds. \"R\" gives counts (rate x elapsed), \"P\" count rates: two lines (channel 1,\n"
    "channel 2) in modes M3, M4 and M5, otherwise one line with channel 1; R1/P1 and R2/P2 give\n"
    "one channel. Every line ends with CR LF. Ends on SIGTERM or SIGINT and removes the symlink.\n";

namespace {

// The whole text as a number of the value's type.
template <typename Number>
bool to_number(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

} // namespace

parse_result parse_options(const std::vector<std::string>& args) {
    parse_result r;
    auto& o = r.options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool has_value = i + 1 < args.size();
        const std::string value = has_value ? args[i + 1] : std::string();
        auto need_value = [&]() {
            if (!has_value) r.error = a + " needs a value";
            return has_value;
        };
        if (a == "--help" || a == "-h") {
            r.help = true;
            return r;
        } else if (a == "--link") {
            if (!need_value()) return r;
            o.link = value;
            ++i;
        } else if (a == "--speed" || a == "--alpha" || a == "--beta") {
            if (!need_value()) return r;
            double number = 0;
            const bool speed = a == "--speed";
            if (!to_number(value, number) || number < 0 || (speed && number == 0)) {
                r.error = "bad value for " + a + ": " + value;
                return r;
            }
            (speed ? o.speed : a == "--alpha" ? o.alpha : o.beta) = number;
            ++i;
        } else if (a == "--seed") {
            if (!need_value()) return r;
            if (!to_number(value, o.seed)) {
                r.error = "bad value for --seed: " + value;
                return r;
            }
            ++i;
        } else if (a == "--fail-after") {
            if (!need_value()) return r;
            long n = 0;
            if (!to_number(value, n) || n < 0) {
                r.error = "bad value for --fail-after: " + value;
                return r;
            }
            o.fail_after = n;
            ++i;
        } else if (a == "--log") {
            if (!need_value()) return r;
            o.log = value;
            ++i;
        } else if (a == "--plateau") {
            if (!need_value()) return r;
            const auto comma = value.find(',');
            plateau_curve curve;
            if (comma == std::string::npos || !to_number(value.substr(0, comma), curve.knee) ||
                !to_number(value.substr(comma + 1), curve.slope) || curve.knee < 0) {
                r.error = "bad value for --plateau (KNEE,SLOPE): " + value;
                return r;
            }
            o.plateau = curve;
            ++i;
        } else if (a == "--noise") {
            o.noise = true;
        } else if (a == "--silent") {
            o.silent = true;
        } else if (a == "--no-handshake") {
            o.no_handshake = true;
        } else if (a == "--garbage") {
            o.garbage = true;
        } else {
            r.error = "unknown argument: " + a;
            return r;
        }
    }
    if (o.link.empty()) r.error = "--link PATH is required";
    return r;
}

} // namespace xkv::sim
