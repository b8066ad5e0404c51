#pragma once
// The FILTERS of the commands that list stored results: one row per filter box of the database
// viewer. The command line checks, the select, --help and so the manual page read this table;
// a test checks README.md's list against it.

#include "cli/args.h"
#include "results/viewer_query.h"

#include <array>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace xkv::cli {

struct filter_option {
    std::string_view name;                                       // the option, without its "--"
    std::string_view value;                                      // its value as --help names it
    std::string viewer_filter::*text = nullptr;                  // the text box it fills, or
    std::optional<calendar_date> viewer_filter::*date = nullptr; // the date box (YYYY-MM-DD)
};

// In the order --help lists them.
inline constexpr std::array filter_options = {
    filter_option{"sample", "S", &viewer_filter::sample_id},
    filter_option{"mode", "M", &viewer_filter::mode},
    filter_option{"set", "NAME", &viewer_filter::cal_name},
    filter_option{"hv", "V", &viewer_filter::hv},
    filter_option{"from", "YYYY-MM-DD", nullptr, &viewer_filter::from_date},
    filter_option{"to", "YYYY-MM-DD", nullptr, &viewer_filter::to_date},
    filter_option{"p1-from", "X", &viewer_filter::from_value_1},
    filter_option{"p1-to", "X", &viewer_filter::to_value_1},
    filter_option{"p2-from", "X", &viewer_filter::from_value_2},
    filter_option{"p2-to", "X", &viewer_filter::to_value_2},
};

// "--sample S", as --help and README.md show a filter.
std::string filter_usage(const filter_option& filter);
// The filters' names, for a command's value options.
std::set<std::string> filter_option_names();

// The viewer's select for the FILTERS of the command line; the plain listing's without any.
// Throws usage_error for a date that is not a day of the calendar.
bound_statement listing_select(const command_line& line);

} // namespace xkv::cli
