#include "results/t_report.h"

#include "results/result_columns.h"
#include "results/row_limits.h"
#include "settings/errors.h"
#include "settings/regular_file.h"
#include "settings/value_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace xkv {

namespace {

constexpr std::string_view table_marker = "{TABLE}";

constexpr std::size_t first_limits_slot = 43;
constexpr std::size_t first_lab_slot = 50;
constexpr std::size_t lab_slot_count = 20;
static_assert(report_tag_names[first_limits_slot] == "D.DT_A" && report_tag_names[first_lab_slot] == "D.LAB_A" &&
              report_tag_names[first_lab_slot + lab_slot_count - 2] == "D.CALIBRATIONS" &&
              report_tag_names[first_lab_slot + lab_slot_count - 1] == "D.QC" &&
              report_tag_names[first_lab_slot + lab_slot_count].empty());
constexpr std::string_view end_table_marker = "{END_TABLE}";

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

// Marker tests: generation ignores letter case, the load check does not.
bool starts_with_any_case(std::string_view line, std::string_view marker) {
    return line.size() >= marker.size() && same_name(line.substr(0, marker.size()), marker);
}

struct tag_span {
    std::size_t open;  // position of "{"
    std::size_t close; // position of "}"
    std::string_view name(std::string_view line) const { return line.substr(open + 1, close - open - 1); }
};

// Walks the line's tags: a "{" opens a tag unless one is open (then it is part of the name), a "}"
// closes the open tag and is plain text otherwise. `on_tag` returns false to stop the walk.
// Returns true when a brace is still open at the end.
template <typename OnTag>
bool scan_tags(std::string_view line, OnTag on_tag) {
    bool open = false;
    std::size_t open_at = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '{' && !open) {
            open = true;
            open_at = i;
        } else if (line[i] == '}' && open) {
            open = false;
            if (!on_tag(tag_span{open_at, i})) return false;
        }
    }
    return open;
}

bool known_name(std::string_view name) {
    for (std::string_view slot : report_tag_names)
        if (same_name(name, slot)) return true;
    return false;
}

std::string read_whole_file(const std::string& path) {
    std::optional<std::string> content = read_regular_file(path); // a pipe or a device is refused
    if (!content) throw file_failure("Cannot open file", path, errno);
    return std::move(*content);
}

// Lines end at LF, with a CR before it dropped; a last line without its end counts, and an empty
// file is one empty line.
std::vector<std::string> split_template_lines(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size() || out.empty()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r' && end < text.size()) --stop;
        out.emplace_back(text.substr(start, stop - start));
        start = end + 1;
    }
    return out;
}

// The results column each slot reports, or none: the header tags, the parameter set's factors and
// the empty names are no columns. A name taken twice ("D.CAL_B") reports its column the first time.
constexpr std::size_t factor_b_slot = 35;
static_assert(report_tag_names[factor_b_slot] == "D.CAL_B" && report_tag_names[factor_b_slot + 3] == "D.CAL_E");
constexpr std::array<int, report_tag_count> column_of_slot = [] {
    std::array<int, report_tag_count> columns{};
    for (std::size_t slot = 0; slot < report_tag_count; ++slot) {
        columns[slot] = -1;
        if (slot >= factor_b_slot && slot < factor_b_slot + 4) continue;
        for (std::size_t c = 0; c < results_column_count; ++c)
            if (results_columns()[c].report_tag == report_tag_names[slot]) columns[slot] = static_cast<int>(c);
    }
    return columns;
}();

std::string row_value(const _r_results& row, std::size_t slot) {
    switch (slot) {
    case factor_b_slot: return row.calibration.factor_b;
    case factor_b_slot + 1: return row.calibration.factor_c;
    case factor_b_slot + 2: return row.calibration.factor_d;
    case factor_b_slot + 3: return row.calibration.factor_e;
    default: break;
    }
    if (slot >= report_tag_count || column_of_slot[slot] < 0) return {};
    return results_columns()[static_cast<std::size_t>(column_of_slot[slot])].report_text(row);
}

} // namespace

bool check_braces(std::string_view line) {
    return scan_tags(line, [](tag_span) { return true; });
}

bool check_words(std::string_view line) {
    bool unknown = false;
    scan_tags(line, [&](tag_span tag) {
        unknown = !known_name(tag.name(line));
        return !unknown;
    });
    return unknown;
}

bool check_table(const std::vector<std::string>& lines) {
    bool open = false;
    for (const std::string& line : lines) {
        if (!open && line.starts_with(table_marker)) open = true;
        if (open && line.starts_with(end_table_marker)) open = false;
    }
    return open;
}

t_report::t_report(std::string name) : template_name(std::move(name)) {
    const std::vector<std::string> file_lines = split_template_lines(read_whole_file(template_name));
    for (std::size_t n = 0; n < file_lines.size(); ++n) {
        if (check_braces(file_lines[n])) {
            error_text = "SYNTAX ERROR AT LINE " + std::to_string(n);
            break;
        }
        if (check_words(file_lines[n])) {
            error_text = "WORD ERROR AT LINE " + std::to_string(n);
            break;
        }
        lines.push_back(file_lines[n]);
    }
    if (check_table(lines)) error_text = "{TABLE} WIHTOUT {END_TABLE}";
}

std::string t_report::tag_value(std::size_t slot) const {
    switch (slot) {
    case 0: return number_text;
    case 1: return creator_text;
    case 2: return date_text;
    case 3: return setup.sample_id;
    case 4: return setup.description;
    case 49: return format_general(limits_k);
    default: break;
    }
    if (current_row >= rows.size()) return {};
    if (slot >= first_limits_slot && slot < first_limits_slot + limits_column_count) {
        if (extras) return extra_cells().at(slot - first_limits_slot);
        return limits_cells(channels_of_row(rows[current_row]), limits_k)[slot - first_limits_slot];
    }
    if (slot >= first_lab_slot && slot < first_lab_slot + lab_slot_count) {
        if (!extras) return {};
        const auto& cells = extra_cells();
        const std::size_t at = limits_column_count + slot - first_lab_slot;
        return at < cells.size() ? cells[at] : std::string{};
    }
    return row_value(rows[current_row], slot);
}

const std::vector<std::string>& t_report::extra_cells() const {
    if (extra_row_ != current_row) {
        extra_cells_ = extras->row_cells(rows[current_row]);
        extra_cells_.resize(std::max(extra_cells_.size(), limits_column_count));
        extra_row_ = current_row;
    }
    return extra_cells_;
}

std::string t_report::substitute_tag(const std::string& line, std::size_t slot) const {
    const std::string_view wanted = report_tag_names.at(slot);
    std::string result = line;
    scan_tags(line, [&](tag_span tag) {
        if (!same_name(tag.name(line), wanted)) return true;
        result = line.substr(0, tag.open) + tag_value(slot) + line.substr(tag.close + 1);
        return false;
    });
    return result;
}

std::string t_report::substitute_line(const std::string& line) const {
    std::string result = line;
    for (std::size_t slot = 0; slot < report_tag_count; ++slot) result = substitute_tag(result, slot);
    return result;
}

void t_report::generate() {
    out_lines.clear();
    extra_row_ = SIZE_MAX;
    std::size_t i = 0;
    while (i < lines.size()) {
        if (!starts_with_any_case(lines[i], table_marker)) {
            out_lines.push_back(substitute_line(lines[i]));
            ++i;
            continue;
        }
        // The line after the marker always belongs to the body, even an end marker; a body without
        // an end marker runs to the end of the template.
        const std::size_t body_begin = i + 1;
        std::size_t body_end = body_begin + 1;
        while (body_end < lines.size() && !starts_with_any_case(lines[body_end], end_table_marker)) ++body_end;
        body_end = std::min(body_end, lines.size());
        for (current_row = 0; current_row < rows.size(); ++current_row)
            for (std::size_t b = body_begin; b < body_end; ++b) out_lines.push_back(substitute_line(lines[b]));
        i = body_end + 1;
    }
}

} // namespace xkv
