#pragma once
// The lab's QC and plateau records and the QC marks of saved results, in tables of their own beside
// `results` in the results store. Values are bound, never part of a statement's text.

#include "lab/plateau.h"
#include "lab/qc_record.h"
#include "results/results_store.h"

#include <map>
#include <string>
#include <vector>

namespace xkv {

struct plateau_record {
    std::string id; // given by the store
    record_origin origin;
    int supply = 1;
    int channel = 0;
    std::string preset_time;
    double max_slope = default_plateau_max_slope;
    std::vector<plateau_point> points;
    // The analysis as it was when stored.
    bool found = false;
    double start = 0, end = 0, slope = 0, operating_voltage = 0;
};

plateau_record plateau_record_of(const plateau_analysis& analysis, int supply, int channel, std::string preset_time,
                                 double max_slope, record_origin origin);

// What a result saved while QC was not current carries.
inline constexpr const char* qc_not_current_mark = "QC not current";

// The records of the results store `store`, the SQLite file or the server. Reading creates no
// table; adding creates its table on first use.
class lab_store {
public:
    explicit lab_store(results_store& store) : store_(store) {}

    void add(qc_record& record);         // sets its id
    std::vector<qc_record> qc_records(); // oldest first
    void add(plateau_record& record);    // sets its id
    std::vector<plateau_record> plateau_records();
    // Result id -> mark, for the rows that carry one.
    std::map<std::string, std::string, std::less<>> qc_marks(); // by result id

    // The marks' table and statement, for the store that saves results with their marks.
    static const side_table qc_marks_table;
    static const char* const insert_qc_mark;

private:
    results_store& store_;
};

// The QC records at `location`; none where no database is there yet.
std::vector<qc_record> qc_records_at(const std::string& location, const store_options& options = {});

} // namespace xkv
