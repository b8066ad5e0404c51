#include "lab/lab_extras.h"

#include "lab/calibration_records.h"
#include "lab/crosstalk_keys.h"
#include "lab/lab_store.h"
#include "lab/row_details.h"
#include "lab/row_lab.h"
#include "measurement/parameter_sets.h"
#include "results/viewer_query.h"
#include "settings/read_only_options.h"
#include "settings/settings_files.h"
#include "settings/value_text.h"

#include <algorithm>

namespace xkv {

namespace {

const std::vector<calibration_record> no_records;

std::optional<std::int64_t> id_of(std::string_view id) {
    const std::string_view digits = trim_control(id);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    return digits_to_int(digits);
}

} // namespace

lab_row_extras::lab_row_extras(const std::string& database_path, std::string calibration_path, double k, double gamma,
                               int busy_timeout_ms)
    : calibration_path_(std::move(calibration_path)), k_(k), gamma_(gamma),
      headers_(lab_headers.begin(), lab_headers.end()) {
    // Reading must not create a database.
    const auto store = open_existing_store(database_path, {busy_timeout_ms});
    if (!store) return;
    records_ = calibrations_of_results(*store);
    qc_marks_ = lab_store(*store).qc_marks();
}

const std::vector<calibration_record>& lab_row_extras::records_of(std::string_view id) const {
    const auto n = id_of(id);
    if (!n) return no_records;
    const auto found = records_.find(*n);
    return found == records_.end() ? no_records : found->second;
}

crosstalk_factors lab_row_extras::crosstalk_of(std::string_view id, std::string_view set_name) {
    const auto& records = records_of(id);
    if (!records.empty()) return crosstalk_of_records(records);
    auto found = set_keys_.find(set_name);
    if (found == set_keys_.end())
        found = set_keys_.emplace(std::string(set_name), read_set_crosstalk(calibration_path_, set_name)).first;
    return found->second;
}

std::string lab_row_extras::calibrations_text(std::string_view id) const {
    const auto& records = records_of(id);
    return records.empty() ? std::string(set_keys_text) : versions_text(records);
}

std::vector<std::string> lab_row_extras::cells_of(const std::array<stored_channel, 2>& channels, std::string_view id,
                                                  std::string_view set_name) {
    const auto results = row_lab_results(channels, crosstalk_of(id, set_name), k_, gamma_);
    const auto limits = lab_limits_cells(results);
    const auto mark = qc_marks_.find(trim_control(id));
    const auto lab = lab_cells(results, calibrations_text(id), mark == qc_marks_.end() ? "" : mark->second);
    std::vector<std::string> cells(limits.begin(), limits.end());
    cells.insert(cells.end(), lab.begin(), lab.end());
    return cells;
}

std::vector<std::string> lab_row_extras::listing_cells(const std::vector<std::string_view>& cells) {
    static const std::size_t id = viewer_column("id"), set = viewer_column("cal_name");
    const auto at = [&cells](std::size_t i) { return i < cells.size() ? cells[i] : std::string_view{}; };
    return cells_of(channels_of_listing_row(cells), at(id), at(set));
}

std::vector<std::string> lab_row_extras::row_cells(const _r_results& row) {
    return cells_of(channels_of_row(row), row.id, row.calibration.name);
}

row_details lab_row_extras::details(const std::vector<std::string_view>& cells) {
    static const std::size_t id = viewer_column("id");
    std::vector<std::string> lab = listing_cells(cells);
    lab.erase(lab.begin(), lab.begin() + static_cast<std::ptrdiff_t>(std::min(lab.size(), limits_column_count)));
    return lab_row_details(lab, records_of(id < cells.size() ? cells[id] : std::string_view{}));
}

std::shared_ptr<lab_row_extras> lab_extras_of(const std::string& program_dir, const std::string& database_path,
                                              const read_only_options& options) {
    return std::make_shared<lab_row_extras>(database_path, program_dir + calibration_file, options.limits_k,
                                            options.limits_gamma, options.busy_timeout_ms);
}

} // namespace xkv
