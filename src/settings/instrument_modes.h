#pragma once
// The instrument's modes, one row each: the profile's code, the name results and labels show, the
// options window's caption, the instrument's own command, whether a run reads the counters or the
// ratemeters, and how many value lines a read of that kind answers. Every use of a mode asks here.

#include "settings/options.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace xkv {

enum class mode_reads {
    counters,
    ratemeters
};

struct instrument_mode {
    std::int32_t code;        // the profile's mode code
    std::string_view name;    // in result rows and the main window's labels
    std::string_view caption; // the options window's choice
    std::string_view command; // sent to the instrument to select it
    mode_reads reads;         // what a run reads
    int lines;                // value lines of a read of that kind: channel 1, or both channels
};

inline constexpr std::array<instrument_mode, 6> instrument_modes = {{
    {mode_c1_minus_c2, "C1-C2", "C1 - C2", "M0", mode_reads::counters, 1},
    {mode_r1_minus_r2, "R1-R2", "R1 - R2", "M1", mode_reads::ratemeters, 1},
    {mode_c1_c2, "C1,C2", "C1 , C2", "M3", mode_reads::counters, 2},
    {mode_r1_r2, "R1,R2", "R1 , R2", "M4", mode_reads::ratemeters, 2},
    {mode_r1_or_r2, "R1 or R2", "R1 or R2", "M2", mode_reads::ratemeters, 1},
    {mode_cam, "CAM", "CAM", "M5", mode_reads::ratemeters, 2},
}};

// The mode of a profile code, or nullptr for a code without one.
constexpr const instrument_mode* find_mode(std::int32_t code) {
    for (const instrument_mode& m : instrument_modes)
        if (m.code == code) return &m;
    return nullptr;
}

// The mode the instrument command selects, or nullptr.
constexpr const instrument_mode* find_mode_by_command(std::string_view command) {
    for (const instrument_mode& m : instrument_modes)
        if (m.command == command) return &m;
    return nullptr;
}

// Value lines a read of `kind` answers in the mode `code`: two only where the mode reads that kind
// on both channels.
constexpr int lines_of_read(std::int32_t code, mode_reads kind) {
    const instrument_mode* m = find_mode(code);
    return m && m->reads == kind ? m->lines : 1;
}

} // namespace xkv
