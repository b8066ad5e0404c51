#pragma once
// What the simulated instrument answers to each command line, from its settings and its clock.
// Pure logic: the caller passes the time and writes the answer.

#include "sim_options.h"

#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace xkv::sim {

class sim_instrument {
public:
    explicit sim_instrument(const sim_options& options);

    // The answer to one command line (its LF removed) received at `now` real seconds;
    // nothing for a command that has no answer.
    std::optional<std::string> handle(std::string_view line, double now);
    // True once a value read failed under --hang-up: the instrument is gone and the server ends.
    bool hung_up() const { return hung_up_; }

private:
    double elapsed(double now) const;
    void start(double now);
    void stop(double now);
    std::optional<std::string> values(char kind, std::string_view selector, double now);
    std::string counts_text(int channel, double now);
    std::string rate_text(int channel);
    std::string garbage_line();
    bool two_line_mode() const;
    double channel_rate(int channel) const;

    sim_options options_;
    std::string mode_ = "M0";
    double preset_ = 0; // simulated seconds; 0 counts until stopped
    std::map<std::string, std::string> settings_;
    bool counting_ = false;
    double started_at_ = 0;              // real seconds
    double stopped_elapsed_ = 0;         // simulated seconds
    double counts_[2] = {0, 0};          // noisy counts so far
    double sampled_elapsed_[2] = {0, 0}; // simulated seconds the noisy counts cover
    long value_reads_ = 0;
    bool hung_up_ = false;
    std::mt19937_64 noise_;
};

} // namespace xkv::sim
