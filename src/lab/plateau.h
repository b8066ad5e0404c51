#pragma once
// The high-voltage plateau of a counter: count rate against the voltage of one supply, the longest
// flat stretch, its slope and the operating voltage proposed on it.

#include <optional>
#include <vector>

namespace xkv {

inline constexpr double default_plateau_max_slope = 2; // % per 100 V between neighbouring points

struct plateau_point {
    double voltage = 0;
    double rate = 0;   // per second
    double u_rate = 0; // its Poisson standard uncertainty
    double counts = 0; // what the rate was counted from
    double seconds = 0;
};

// A point counted for `seconds`: the rate N/t and its uncertainty sqrt(N)/t.
plateau_point counted_point(double voltage, double counts, double seconds);

struct plateau_analysis {
    std::vector<plateau_point> points; // in rising voltage
    std::vector<double> slopes;        // s_i between point i and i+1, % per 100 V
    bool found = false;                // a plateau of at least three points
    std::size_t first = 0, last = 0;   // its points
    double start = 0, end = 0;         // its voltages
    double length() const { return end - start; }
    double slope = 0;             // least-squares slope over the plateau, % per 100 V at its middle
    double operating_voltage = 0; // the measured voltage nearest to start + length / 3
};

// s_i = 100 (r_(i+1) - r_i) / r_i x 100 / (V_(i+1) - V_i). The plateau is the longest run of at least
// three consecutive points whose every |s_i| <= max_slope, the lower on a tie; its slope is
// 100 b x 100 / (a + b V_mid) of the line a + b V fitted over it. Points are sorted first; a
// step with no rate or no voltage difference never belongs to a plateau.
plateau_analysis analyse_plateau(std::vector<plateau_point> points, double max_slope = default_plateau_max_slope);

} // namespace xkv
