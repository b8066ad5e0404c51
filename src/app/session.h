#pragma once
// The program's shared state for as long as it runs: its directory, the current profile, the program
// options and the read-only ones, the hidden log, the last run's setup, and where results and reports
// go. main() (or the CLI) creates one and hands it to every window; windows learn of a change through
// its listeners instead of calling each other.

#include "link/diagnostic_log.h"
#include "measurement/cur_measurment.h"
#include "results/chart_stats.h"
#include "results/report_output.h"
#include "settings/options.h"
#include "settings/program_options.h"
#include "settings/read_only_options.h"
#include "settings/ui_services.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace xkv {

// What changed in the session.
enum class session_change {
    profile,      // the current profile was replaced
    options,      // the program options were replaced
    unsaved_edit, // the settings editor changed a value since the last save
    saved,        // profile and program options were written by a save
    last_setup,   // a run ended: its setup now heads the viewer's reports
};

// Who hears of a change. A subscription ends when its handle goes; the list may go first.
class session_listeners {
public:
    using listener = std::function<void(session_change)>;

    class subscription {
    public:
        subscription() = default;
        subscription(std::weak_ptr<std::vector<std::pair<std::size_t, listener>>> list, std::size_t id)
            : list_(std::move(list)), id_(id) {}
        subscription(subscription&& other) noexcept = default;
        subscription& operator=(subscription&& other) noexcept;
        subscription(const subscription&) = delete;
        subscription& operator=(const subscription&) = delete;
        ~subscription() { end(); }

    private:
        void end();
        std::weak_ptr<std::vector<std::pair<std::size_t, listener>>> list_;
        std::size_t id_ = 0;
    };

    session_listeners() = default;
    // A copy of a session starts with nobody listening; a moved session keeps its listeners.
    session_listeners(const session_listeners&) {}
    // Assigning copies nothing, so assigning a session to itself is harmless too.
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment)
    session_listeners& operator=(const session_listeners&) { return *this; }
    session_listeners(session_listeners&&) noexcept = default;
    session_listeners& operator=(session_listeners&&) noexcept = default;

    [[nodiscard]] subscription listen(listener l);
    void tell(session_change what) const;

private:
    std::shared_ptr<std::vector<std::pair<std::size_t, listener>>> list_ =
        std::make_shared<std::vector<std::pair<std::size_t, listener>>>();
    std::size_t next_id_ = 1;
};

struct session {
    std::string program_dir;
    _options profile;
    _program_options options;
    read_only_options read_only; // read with the program options, never written
    diagnostic_log log;
    cur_measurment last_setup; // the setup of the latest run, which heads the viewer's reports
    session_listeners listeners;

    // Reads the default profile and the program options (both parts) under `program_dir`.
    static session read(std::string program_dir);
    // The program options file again, both parts; unsaved program options give way to the file's.
    void reread_program_options();

    // <program dir> + a fixed name such as default_profile_file.
    std::string file(const char* fixed) const { return program_dir + fixed; }
    std::string profile_path() const;         // <program dir>/ini/default.xkv
    std::string program_options_path() const; // <program dir>/ini/program_opt.xkv
    // The program options' database, resolved against the program directory.
    std::string database_path() const;
    // A report's template, counter, creator and k, with the given run setup at its head.
    report_sources report_sources_for(const cur_measurment& setup) const;

    [[nodiscard]] session_listeners::subscription listen(session_listeners::listener l) {
        return listeners.listen(std::move(l));
    }
    void changed(session_change what) const { listeners.tell(what); }
    // The control charts of the store's QC records, for the chart window beside the listing's columns.
    std::vector<named_chart> qc_charts() const;
    // The lab's values of listed rows (limits, lab results, calibrations used), for listings and exports.
    std::shared_ptr<row_extras> listing_extras() const;
};

// "Save Options": asks for a profile file, writes the profile there and the program options to their
// own file, and tells the listeners. False when the operator cancels.
bool save_options(session& state, ui_services& services);

} // namespace xkv
