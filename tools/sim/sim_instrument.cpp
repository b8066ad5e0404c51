#include "sim_instrument.h"

#include "settings/instrument_modes.h"
#include "settings/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace xkv::sim {

namespace {

constexpr double ratemeter_window = 10.0; // seconds a noisy rate is averaged over
constexpr const char* crlf = "\r\n";

constexpr double plateau_rise_width = 20; // volts: how steep the rise to the plateau is

std::string whole(double value) { return std::to_string(static_cast<long long>(std::floor(value))); }

} // namespace

sim_instrument::sim_instrument(const sim_options& options) : options_(options), noise_(options.seed) {}

double sim_instrument::elapsed(double now) const {
    if (!counting_) return stopped_elapsed_;
    const double e = (now - started_at_) * options_.speed;
    return preset_ > 0 ? std::min(e, preset_) : e;
}

void sim_instrument::start(double now) {
    counting_ = true;
    started_at_ = now;
    stopped_elapsed_ = 0;
    counts_[0] = counts_[1] = 0;
    sampled_elapsed_[0] = sampled_elapsed_[1] = 0;
}

void sim_instrument::stop(double now) {
    stopped_elapsed_ = elapsed(now);
    counting_ = false;
}

bool sim_instrument::two_line_mode() const {
    const instrument_mode* mode = find_mode_by_command(mode_);
    return mode && mode->lines == 2;
}

double sim_instrument::channel_rate(int channel) const {
    const double rate = channel == 0 ? options_.alpha : options_.beta;
    if (!options_.plateau) return rate;
    // A logistic rise centred on the knee times a straight plateau line, scaled so that the rate
    // at knee + 100 V on the plateau line is the channel's rate.
    const auto it = settings_.find(channel == 0 ? "j1" : "j2");
    double volts = 0;
    if (it != settings_.end()) std::from_chars(it->second.data(), it->second.data() + it->second.size(), volts);
    const plateau_curve& curve = *options_.plateau;
    const double line = 1 + curve.slope / 100 * (volts - curve.knee - 100) / 100;
    const double rise = 1 / (1 + std::exp(-(volts - curve.knee) / plateau_rise_width));
    return std::max(0.0, rate * line * rise);
}

std::string sim_instrument::counts_text(int channel, double now) {
    const double rate = channel_rate(channel);
    const double e = elapsed(now);
    if (!options_.noise) return whole(rate * e + 1e-9);
    // Counts only grow: each read adds the Poisson counts of the time since the last one.
    if (e > sampled_elapsed_[channel]) {
        std::poisson_distribution<long long> d(rate * (e - sampled_elapsed_[channel]));
        counts_[channel] += static_cast<double>(d(noise_));
        sampled_elapsed_[channel] = e;
    }
    return whole(counts_[channel]);
}

std::string sim_instrument::rate_text(int channel) {
    double rate = channel_rate(channel);
    if (options_.noise && rate > 0) {
        std::poisson_distribution<long long> d(rate * ratemeter_window);
        rate = static_cast<double>(d(noise_)) / ratemeter_window;
    }
    return format_general(std::round(rate * 100) / 100);
}

std::string sim_instrument::garbage_line() {
    std::uniform_int_distribution<int> length(1, 40);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string line;
    for (int n = length(noise_); n > 0; --n) {
        const int b = byte(noise_);
        line.push_back(static_cast<char>(b == '\n' ? 0x8A : b));
    }
    return line + crlf;
}

std::optional<std::string> sim_instrument::values(char kind, std::string_view selector, double now) {
    if (selector != "" && selector != "1" && selector != "2") return std::nullopt;
    ++value_reads_;
    if (options_.fail_after && value_reads_ > *options_.fail_after) {
        hung_up_ = options_.hang_up;
        return std::nullopt;
    }
    auto value = [&](int channel) {
        if (options_.garbage) return garbage_line();
        return (kind == 'R' ? counts_text(channel, now) : rate_text(channel)) + crlf;
    };
    if (selector == "1") return value(0);
    if (selector == "2") return value(1);
    return two_line_mode() ? value(0) + value(1) : value(0);
}

std::optional<std::string> sim_instrument::handle(std::string_view line, double now) {
    if (options_.silent) return std::nullopt;
    if (line == "tarvo") {
        if (options_.no_handshake) return std::nullopt;
        return std::string("DEBUGMODE") + crlf;
    }
    if (line == "n") {
        if (options_.garbage) return garbage_line();
        return std::string("XKV 4410 SIMULATOR") + crlf + "SIMULATED INSTRUMENT, NO HARDWARE" + crlf + "MODE " + mode_ +
               " PRESET " + whole(preset_) + crlf;
    }
    if (line == "L") {
        if (options_.garbage) return garbage_line();
        return whole(elapsed(now) + 1e-9) + crlf;
    }
    if (line == "G") {
        start(now);
        return std::nullopt;
    }
    if (line == "S") {
        stop(now);
        return std::nullopt;
    }
    if (!line.empty() && (line[0] == 'R' || line[0] == 'P')) return values(line[0], line.substr(1), now);
    if (line.size() == 2 && line[0] == 'M' && line[1] >= '0' && line[1] <= '5') {
        mode_ = std::string(line);
        return std::nullopt;
    }
    // Settings: a name, one space and the value as sent.
    const auto space = line.find(' ');
    if (space == std::string_view::npos) return std::nullopt;
    const std::string name(line.substr(0, space));
    const std::string value(line.substr(space + 1));
    if (name == "T") {
        double seconds = 0;
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), seconds);
        preset_ = ec == std::errc() && seconds > 0 ? seconds : 0;
    }
    settings_[name] = value;
    return std::nullopt;
}

} // namespace xkv::sim
