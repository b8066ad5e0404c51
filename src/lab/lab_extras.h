#pragma once
// The lab's values of listed and reported rows: the characteristic limits and the lab result with
// the crosstalk in force, and which calibrations the row used. A saved row with records of its
// calibrations uses the crosstalk recorded; any other row (older rows, rows from other programs,
// a run not saved yet) the crosstalk keys its set has now, and says so.

#include "lab/calibration_record.h"
#include "lab/lab_result.h"
#include "results/results_store.h"
#include "results/row_extras.h"
#include "settings/read_only_options.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace xkv {

class lab_row_extras final : public row_extras {
public:
    // The records come from the store at `database_path` (read once, when it exists).
    lab_row_extras(const std::string& database_path, std::string calibration_path, double k, double gamma,
                   int busy_timeout_ms = default_busy_timeout_ms);
    const std::vector<std::string>& headers() const override { return headers_; }
    std::vector<std::string> listing_cells(const std::vector<std::string_view>& cells) override;
    std::vector<std::string> row_cells(const _r_results& row) override;
    // Per channel the lab values, then the calibrations the row used (row_details.cpp).
    row_details details(const std::vector<std::string_view>& cells) override;

    // The records a row with this id was saved under; empty for a row without records.
    const std::vector<calibration_record>& records_of(std::string_view id) const;
    // The crosstalk a row uses and what the calibrations column says of it.
    crosstalk_factors crosstalk_of(std::string_view id, std::string_view set_name);
    std::string calibrations_text(std::string_view id) const;

private:
    std::vector<std::string> cells_of(const std::array<stored_channel, 2>& channels, std::string_view id,
                                      std::string_view set_name);

    std::string calibration_path_;
    double k_, gamma_;
    std::vector<std::string> headers_;
    std::map<std::int64_t, std::vector<calibration_record>> records_;
    std::map<std::string, crosstalk_factors, std::less<>> set_keys_;
    std::map<std::string, std::string, std::less<>> qc_marks_; // by result id
};

// The extras of a program directory: its calibration file, with the k, gamma and busy timeout of
// its read-only options.
std::shared_ptr<lab_row_extras> lab_extras_of(const std::string& program_dir, const std::string& database_path,
                                              const read_only_options& options);

} // namespace xkv
