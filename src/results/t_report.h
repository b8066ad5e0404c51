#pragma once
// The report template engine: loads an operator's template, checks it, and expands it against result
// rows and a few header values into report lines.
//
// A tag is "{name}", matched without regard to the case of a..z; "{}" expands to nothing. A line
// starting "{TABLE}" opens a block whose body, up to a line starting "{END_TABLE}", is repeated for
// every row. Tags named "D.*" give fields of the row being expanded.

#include "measurement/cur_measurment.h"
#include "measurement/r_results.h"
#include "results/iso11929.h"
#include "results/row_extras.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace xkv {

// The tag table. Order matters: each slot replaces only the first remaining occurrence of its name
// on a line, so the first "{D.CAL_B}" gets the beta efficiency (slot 17) and a second one factor B
// (slot 35); the eight empty names remove up to eight "{}" per line. A "D.*" slot reports the results
// column with that tag (results_columns()), apart from the parameter set's factors B to E. Slots 43
// to 49 give the characteristic limits of the row's channels and the k they were computed with;
// slots 50 to 69 the lab's results of the row, the calibrations they used and its QC mark (empty
// without extras).
inline constexpr std::size_t report_tag_count = 78;
inline constexpr std::array<std::string_view, report_tag_count> report_tag_names = {"NUMBER",
                                                                                    "CREATOR",
                                                                                    "CUR_DATE",
                                                                                    "SAMPLE_ID",
                                                                                    "DESCRIPTION",
                                                                                    "TABLE",
                                                                                    "END_TABLE",
                                                                                    "D.SAMP_ID",
                                                                                    "D.DESCR",
                                                                                    "D.SER_NUM",
                                                                                    "D.HV",
                                                                                    "D.MODE",
                                                                                    "D.RESULT_A",
                                                                                    "D.RESULT_B",
                                                                                    "D.TIME",
                                                                                    "D.P_TIME",
                                                                                    "D.CAL_A",
                                                                                    "D.CAL_B",
                                                                                    "D.CAL_A_ACT",
                                                                                    "D.CAL_B_ACT",
                                                                                    "D.CAL_TEXT",
                                                                                    "D.CAL_NAME",
                                                                                    "D.ACT_A",
                                                                                    "D.U_ACT_A",
                                                                                    "D.ACT_B",
                                                                                    "D.U_ACT_B",
                                                                                    "D.BC_A",
                                                                                    "D.BC_B",
                                                                                    "D.BC_TIME",
                                                                                    "D.ID",
                                                                                    "D.DATE",
                                                                                    "D.QUANTITY",
                                                                                    "D.UNITS",
                                                                                    "D.MDA_A",
                                                                                    "D.MDA_B",
                                                                                    "D.CAL_B",
                                                                                    "D.CAL_C",
                                                                                    "D.CAL_D",
                                                                                    "D.CAL_E",
                                                                                    "D.K1",
                                                                                    "D.BC_CORR",
                                                                                    "D.TEXT_A",
                                                                                    "D.TEXT_B",
                                                                                    "D.DT_A",
                                                                                    "D.DL_A",
                                                                                    "D.ND_A",
                                                                                    "D.DT_B",
                                                                                    "D.DL_B",
                                                                                    "D.ND_B",
                                                                                    "LIMITS_K",
                                                                                    "D.LAB_A",
                                                                                    "D.U_LAB_A",
                                                                                    "D.LAB_DT_A",
                                                                                    "D.LAB_DL_A",
                                                                                    "D.BEST_A",
                                                                                    "D.U_BEST_A",
                                                                                    "D.LOW_A",
                                                                                    "D.HIGH_A",
                                                                                    "D.LAB_ND_A",
                                                                                    "D.LAB_B",
                                                                                    "D.U_LAB_B",
                                                                                    "D.LAB_DT_B",
                                                                                    "D.LAB_DL_B",
                                                                                    "D.BEST_B",
                                                                                    "D.U_BEST_B",
                                                                                    "D.LOW_B",
                                                                                    "D.HIGH_B",
                                                                                    "D.LAB_ND_B",
                                                                                    "D.CALIBRATIONS",
                                                                                    "D.QC",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    "",
                                                                                    ""};

// True when a brace is still open after the line's last character.
bool check_braces(std::string_view line);
// True when a tag name on the line, upper-cased, is in no slot. Blanks count as part of a name.
bool check_words(std::string_view line);
// True when a line starting "{TABLE}" (exactly, in capitals) has no later line starting "{END_TABLE}".
bool check_table(const std::vector<std::string>& lines);

class t_report {
public:
    // Loads and checks the template; the outcome is in error_text. Throws file_error when the file
    // cannot be read.
    explicit t_report(std::string template_name);

    std::size_t line_count() const { return lines.size(); }
    std::size_t out_count() const { return out_lines.size(); }

    // Fills out_lines from the template lines, the header texts, setup and rows.
    void generate();

    // The line with the first tag of the slot's name replaced by the slot's value; unchanged when
    // the line holds no such tag.
    std::string substitute_tag(const std::string& line, std::size_t slot) const;
    // Every slot in order, each applied to the result of the one before.
    std::string substitute_line(const std::string& line) const;
    // The slot's value for the row current_row (a row past the end gives empty row values).
    std::string tag_value(std::size_t slot) const;

    std::string template_name;
    std::vector<std::string> lines; // the template lines accepted by the checks
    std::string error_text;         // empty when the template may be generated

    std::string number_text;      // {NUMBER}
    std::string creator_text;     // {CREATOR}
    std::string date_text;        // {CUR_DATE}
    cur_measurment setup;         // {SAMPLE_ID} and {DESCRIPTION}
    std::vector<_r_results> rows; // every row is reported, in order
    std::size_t current_row = 0;  // the row row tags take

    double limits_k = default_limits_k; // k of the characteristic limits
    std::shared_ptr<row_extras> extras; // the limits and lab values of the rows, when known
    std::vector<std::string> out_lines; // the report, one entry per line

private:
    // The extras' cells of current_row, computed once per row.
    const std::vector<std::string>& extra_cells() const;
    mutable std::size_t extra_row_ = SIZE_MAX;
    mutable std::vector<std::string> extra_cells_;
};

} // namespace xkv
