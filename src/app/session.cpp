#include "app/session.h"

#include "lab/lab_extras.h"
#include "lab/lab_store.h"
#include "lab/qc_chart.h"
#include "results/report_sources_of.h"
#include "results/results_store.h"
#include "settings/program_dir.h"
#include "settings/settings_files.h"

#include <algorithm>

#include <filesystem>

namespace xkv {

session_listeners::subscription& session_listeners::subscription::operator=(subscription&& other) noexcept {
    if (this != &other) {
        end();
        list_ = std::move(other.list_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void session_listeners::subscription::end() {
    if (auto list = list_.lock()) std::erase_if(*list, [this](const auto& entry) { return entry.first == id_; });
    list_.reset();
}

session_listeners::subscription session_listeners::listen(listener l) {
    const std::size_t id = next_id_++;
    list_->emplace_back(id, std::move(l));
    return {list_, id};
}

void session_listeners::tell(session_change what) const {
    if (!list_) return; // a moved-from list
    // A listener may start or end subscriptions while it hears: each one is looked up as it comes.
    std::vector<std::size_t> ids;
    for (const auto& entry : *list_) ids.push_back(entry.first);
    for (const std::size_t id : ids) {
        const auto it =
            std::find_if(list_->begin(), list_->end(), [id](const auto& entry) { return entry.first == id; });
        if (it == list_->end()) continue;
        const listener l = it->second; // the listener may end its own subscription
        l(what);
    }
}

session session::read(std::string program_dir) {
    session s;
    s.program_dir = std::move(program_dir);
    s.profile = read_profile(s.profile_path());
    s.reread_program_options();
    return s;
}

void session::reread_program_options() {
    options = read_program_options(program_options_path());
    read_only = read_read_only_options(program_options_path());
}

std::string session::profile_path() const { return program_dir + default_profile_file; }
std::string session::program_options_path() const { return program_dir + program_options_file; }

std::string session::database_path() const {
    // A server's URI is taken as it stands; a file path relative to the program directory.
    if (is_server_location(options.database)) return options.database;
    return resolve_program_path(program_dir, options.database);
}

report_sources session::report_sources_for(const cur_measurment& setup) const {
    report_sources sources = report_sources_of(program_dir, options, profile, setup, read_only.limits_k);
    sources.extras = listing_extras();
    return sources;
}

bool save_options(session& state, ui_services& services) {
    const auto chosen = services.choose_save_file("xkv 4410 sw configuration file|*.xkv", "xkv");
    if (!chosen) return false;
    write_profile(*chosen, state.profile);
    write_program_options(state.program_options_path(), state.options);
    state.changed(session_change::saved);
    return true;
}

std::vector<named_chart> session::qc_charts() const {
    return xkv::qc_charts(qc_records_at(database_path(), {read_only.busy_timeout_ms})); // asking creates no database
}

std::shared_ptr<row_extras> session::listing_extras() const {
    return lab_extras_of(program_dir, database_path(), read_only);
}

} // namespace xkv
