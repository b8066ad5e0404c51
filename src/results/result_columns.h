#pragma once
// The columns of a result, one row each: how the database declares it, where SAVE, the run window's
// grid and the schema place it, the header the viewer and the spreadsheet show, its report tag, what
// its texts are to a spreadsheet and the chart, and where its text lives in _r_results. The schema,
// SAVE, the viewer's select, the run grid, the viewer's report rows and the report tags all take
// their columns from here.
//
// The rows are in the viewer's order: the listing, its spreadsheet and its report rows follow it.
// A new column is one row here (a field in _r_results, and its tag in report_tag_names).

#include "measurement/r_results.h"
#include "settings/value_text.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace xkv {

// What a listing column's texts are: the .xlsx keeps numbers as numbers and dates as dates, the
// chart plots the numbers.
enum class listing_kind {
    text,
    number,
    date
};

// Reads and writes the column's text in a record.
struct result_field {
    std::string (*get)(const _r_results&);
    void (*set)(_r_results&, const std::string&);
};

struct result_column {
    std::string_view name;        // in the database
    std::string_view declaration; // its type in the schema text
    std::string_view header;      // the viewer's and the spreadsheet's header
    std::string_view report_tag;  // the row tag of a report
    int schema_position;          // place in CREATE TABLE
    int save_position;            // place in SAVE's INSERT; -1 when the database fills it
    int grid_position;            // column of the run window's grid; -1 when not shown there
    listing_kind kind;            // not always the declaration's: the efficiencies are VARCHAR numbers
    result_field field;
    std::string_view grid_header = {};                    // when the grid's header differs from `header`
    std::string (*saved)(const _r_results&) = nullptr;    // SAVE's text when not field.get's
    std::string (*reported)(const _r_results&) = nullptr; // the report's text when not field.get's

    constexpr bool numeric() const { return declaration.starts_with("INTEGER") || declaration.starts_with("NUMERIC"); }
    constexpr std::string_view shown_in_grid() const { return grid_header.empty() ? header : grid_header; }
    std::string save_text(const _r_results& r) const { return saved ? saved(r) : field.get(r); }
    std::string report_text(const _r_results& r) const { return reported ? reported(r) : field.get(r); }
};

namespace column_fields {

// A text member, reached from the record through `path` (a member, or a member of a member).
template <auto... path>
std::string get_text(const _r_results& r) {
    return (r.*....*path);
}
template <auto... path>
void set_text(_r_results& r, const std::string& text) {
    (r.*....*path) = text;
}
template <auto... path>
inline constexpr result_field text{get_text<path...>, set_text<path...>};

// The background correction flag: stored as 1 or 0, read back as set only from "1".
inline std::string get_flag(const _r_results& r) { return r.calibration.background_correction ? "1" : "0"; }
inline void set_flag(_r_results& r, const std::string& text) {
    r.calibration.background_correction = trim_control(text) == "1";
}
inline constexpr result_field flag{get_flag, set_flag};
inline std::string flag_report(const _r_results& r) { return r.calibration.background_correction ? "preset" : ""; }

// The channel values are stored with the operator's decimal separator.
template <std::string _r_results::*member>
std::string local_decimal(const _r_results& r) {
    return to_local_decimal(r.*member);
}

} // namespace column_fields

inline constexpr std::size_t results_column_count = 32;

namespace detail {
namespace f = column_fields;
using R = _r_results;
using C = _calibration;
using B = _background;
constexpr std::string_view varchar = "VARCHAR (255)";
constexpr listing_kind as_text = listing_kind::text;
constexpr listing_kind as_number = listing_kind::number;
constexpr listing_kind as_date = listing_kind::date;
} // namespace detail

inline constexpr std::array<result_column, results_column_count> results_column_table = [] {
    using namespace detail;
    return std::array<result_column, results_column_count>{{
        {"id", "INTEGER PRIMARY KEY", "count", "D.ID", 0, -1, 0, as_number, f::text<&R::id>},
        {"ts", "TIMESTAMP DEFAULT CURRENT_TIMESTAMP", "date", "D.DATE", 1, -1, -1, as_date, f::text<&R::date>},
        {"sample_id", "VARCHAR (128)", "Sample ID", "D.SAMP_ID", 2, 0, 1, as_text, f::text<&R::sample_id>},
        {"description", varchar, "description", "D.DESCR", 3, 1, 2, as_text, f::text<&R::description>},
        {"series_number", "INTEGER", "Series number", "D.SER_NUM", 4, 2, 3, as_number, f::text<&R::series_number>},
        {"hv", "INTEGER", "HV [V]", "D.HV", 5, 3, 4, as_number, f::text<&R::hv>},
        {"mode", "VARCHAR (32)", "mode", "D.MODE", 6, 4, 5, as_text, f::text<&R::mode>},
        {"p1", "NUMERIC", "Alpha counter", "D.RESULT_A", 7, 5, 6, as_number, f::text<&R::p1>, "",
         f::local_decimal<&R::p1>},
        {"p2", "NUMERIC", "Beta counter", "D.RESULT_B", 8, 6, 7, as_number, f::text<&R::p2>, "",
         f::local_decimal<&R::p2>},
        {"time", "INTEGER", "time", "D.TIME", 9, 7, 8, as_number, f::text<&R::time>},
        {"preset_time", "INTEGER", "preset time", "D.P_TIME", 10, 8, 9, as_number, f::text<&R::preset_time>},
        {"cal_l", varchar, "Eff Alpha", "D.CAL_A", 11, 9, 10, as_number, f::text<&R::calibration, &C::alpha>},
        {"cal_l_act", varchar, "Uncertainty Eff Alpha", "D.CAL_A_ACT", 13, 11, 11, as_number,
         f::text<&R::calibration, &C::act_alpha>},
        {"cal_b", varchar, "Eff Beta", "D.CAL_B", 12, 10, 12, as_number, f::text<&R::calibration, &C::beta>},
        {"cal_b_act", varchar, "Uncertainty Eff Beta", "D.CAL_B_ACT", 14, 12, 13, as_number,
         f::text<&R::calibration, &C::act_beta>},
        {"cal_text", varchar, "caption", "D.CAL_TEXT", 15, 13, 14, as_text, f::text<&R::calibration, &C::caption>},
        {"cal_name", varchar, "name", "D.CAL_NAME", 16, 14, 15, as_text, f::text<&R::calibration, &C::name>},
        {"activity_l", varchar, "activity alpha", "D.ACT_A", 17, 15, 16, as_number, f::text<&R::activity_l>},
        {"u_activity_l", varchar, "Uncertainty of activity alpha", "D.U_ACT_A", 18, 17, 17, as_number,
         f::text<&R::u_activity_l>},
        {"activity_b", varchar, "activity beta", "D.ACT_B", 19, 16, 18, as_number, f::text<&R::activity_b>},
        {"u_activity_b", varchar, "Uncertainty of activity beta", "D.U_ACT_B", 20, 18, 19, as_number,
         f::text<&R::u_activity_b>},
        {"bck_l", varchar, "backgnd alpha", "D.BC_A", 21, 19, 20, as_number, f::text<&R::background, &B::alpha>},
        {"bck_b", varchar, "backgnd beta", "D.BC_B", 22, 20, 21, as_number, f::text<&R::background, &B::beta>},
        {"bck_time", varchar, "backgnd time", "D.BC_TIME", 23, 21, 22, as_number, f::text<&R::background, &B::time>},
        {"quantity", "NUMERIC", "quantity", "D.QUANTITY", 24, 22, 23, as_number, f::text<&R::quantity>, "Quantity"},
        {"units", varchar, "Units", "D.UNITS", 25, 23, 24, as_text, f::text<&R::units>},
        {"MDA_a", "NUMERIC", "MDA alpha", "D.MDA_A", 26, 24, 25, as_number, f::text<&R::MDA_a>},
        {"MDA_b", "NUMERIC", "MDA beta", "D.MDA_B", 27, 25, 26, as_number, f::text<&R::MDA_b>},
        {"koef_k", "NUMERIC", "K1", "D.K1", 28, 26, 27, as_number, f::text<&R::koef_k>},
        {"bgn_corr", "INTEGER", "background correction", "D.BC_CORR", 29, 27, -1, as_number, f::flag, "", nullptr,
         f::flag_report},
        {"text_act_a", varchar, "Text activity alpha", "D.TEXT_A", 30, 28, 28, as_text, f::text<&R::text_act_a>},
        {"text_act_b", varchar, "Text activity beta", "D.TEXT_B", 31, 29, 29, as_text, f::text<&R::text_act_b>},
    }};
}();

// Every column, in the viewer's order.
constexpr const std::array<result_column, results_column_count>& results_columns() { return results_column_table; }

// How many columns have a place of the given kind.
constexpr std::size_t saved_column_count() {
    std::size_t n = 0;
    for (const result_column& c : results_column_table) n += c.save_position >= 0;
    return n;
}
constexpr std::size_t grid_column_count() {
    std::size_t n = 0;
    for (const result_column& c : results_column_table) n += c.grid_position >= 0;
    return n;
}

// The grid numbers the run's slots in the column where the database numbers its rows.
inline constexpr std::string_view row_number_column = "id";

} // namespace xkv
