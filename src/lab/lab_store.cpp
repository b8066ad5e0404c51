#include "lab/lab_store.h"

#include "settings/value_text.h"

#include <charconv>

namespace xkv {

namespace {

// The columns after the id; every value is kept as text, so both stores give it back as written.
const char* const qc_columns =
    "ts TEXT, kind TEXT, counter TEXT, who TEXT, "
    "station TEXT, set_name TEXT, source TEXT, activity TEXT, seconds TEXT, "
    "a_judged TEXT, a_counts TEXT, a_rate TEXT, a_value TEXT, a_u_value TEXT, a_expected TEXT, a_limits TEXT, "
    "a_mean TEXT, a_sigma TEXT, a_verdict TEXT, "
    "b_judged TEXT, b_counts TEXT, b_rate TEXT, b_value TEXT, b_u_value TEXT, b_expected TEXT, b_limits TEXT, "
    "b_mean TEXT, b_sigma TEXT, b_verdict TEXT, verdict TEXT, note TEXT)";
const char* const plateau_columns =
    "ts TEXT, counter TEXT, who TEXT, "
    "station TEXT, supply TEXT, channel TEXT, preset_time TEXT, max_slope TEXT, points TEXT, found TEXT, "
    "plateau_start TEXT, plateau_end TEXT, slope TEXT, operating_voltage TEXT)";

// A table of records whose id the store gives.
side_table record_table(const std::string& name, const char* columns) {
    return {name,
            {"CREATE TABLE IF NOT EXISTS " + name + " (id INTEGER PRIMARY KEY, " + columns},
            {"CREATE TABLE " + name + " (id BIGSERIAL PRIMARY KEY, " + columns}};
}

const side_table qc_table = record_table("qc_records", qc_columns);
const side_table plateau_table = record_table("plateau_records", plateau_columns);

const char* const insert_qc =
    "INSERT INTO qc_records (ts, kind, counter, who, station, set_name, source, activity, seconds, "
    "a_judged, a_counts, a_rate, a_value, a_u_value, a_expected, a_limits, a_mean, a_sigma, a_verdict, "
    "b_judged, b_counts, b_rate, b_value, b_u_value, b_expected, b_limits, b_mean, b_sigma, b_verdict, verdict, note) "
    "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?) RETURNING id";
const char* const select_qc =
    "SELECT id, ts, kind, counter, who, station, set_name, source, activity, seconds, "
    "a_judged, a_counts, a_rate, a_value, a_u_value, a_expected, a_limits, a_mean, a_sigma, a_verdict, "
    "b_judged, b_counts, b_rate, b_value, b_u_value, b_expected, b_limits, b_mean, b_sigma, b_verdict, verdict, note "
    "FROM qc_records ORDER BY id";

const char* const insert_plateau =
    "INSERT INTO plateau_records (ts, counter, who, station, supply, channel, preset_time, max_slope, points, found, "
    "plateau_start, plateau_end, slope, operating_voltage) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?) RETURNING id";
const char* const select_plateau =
    "SELECT id, ts, counter, who, station, supply, channel, preset_time, max_slope, points, found, plateau_start, "
    "plateau_end, slope, operating_voltage FROM plateau_records ORDER BY id";

std::string number(double x) { return format_general(x); }
double number_of(std::string_view text) {
    try {
        return parse_float(text);
    } catch (const std::exception&) {
        return 0;
    }
}

// "V counts seconds" per point, points separated by ";".
std::string points_text(const std::vector<plateau_point>& points) {
    std::string text;
    for (const plateau_point& p : points) {
        if (!text.empty()) text += ";";
        text += number(p.voltage) + " " + number(p.counts) + " " + number(p.seconds);
    }
    return text;
}

std::vector<plateau_point> points_of(std::string_view text) {
    std::vector<plateau_point> points;
    while (!text.empty()) {
        const auto end = text.find(';');
        const std::string_view item = text.substr(0, end);
        const auto a = item.find(' '), b = item.rfind(' ');
        if (a != std::string_view::npos && b > a)
            points.push_back(counted_point(number_of(item.substr(0, a)), number_of(item.substr(a + 1, b - a - 1)),
                                           number_of(item.substr(b + 1))));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return points;
}

// Adds one record in a transaction of its own, creating its table on first use; returns its id.
std::string add_record(results_store& store, const side_table& table, const char* insert,
                       const std::vector<std::string>& values) {
    results_store::transaction one(store);
    store.create_when_absent(table);
    const text_table id = store.query(insert, values);
    one.commit();
    return std::string(id.cell(0, 0));
}

} // namespace

const side_table lab_store::qc_marks_table{
    "qc_marks",
    {"CREATE TABLE qc_marks (result_id INTEGER PRIMARY KEY, mark TEXT)"},
    {"CREATE TABLE qc_marks (result_id BIGINT PRIMARY KEY, mark TEXT)"},
};
const char* const lab_store::insert_qc_mark = "INSERT INTO qc_marks (result_id, mark) VALUES (?, ?)";

plateau_record plateau_record_of(const plateau_analysis& a, int supply, int channel, std::string preset_time,
                                 double max_slope, record_origin origin) {
    plateau_record r;
    r.origin = std::move(origin);
    r.supply = supply;
    r.channel = channel;
    r.preset_time = std::move(preset_time);
    r.max_slope = max_slope;
    r.points = a.points;
    r.found = a.found;
    if (a.found) r.start = a.start, r.end = a.end, r.slope = a.slope, r.operating_voltage = a.operating_voltage;
    return r;
}

void lab_store::add(qc_record& r) {
    std::vector<std::string> v{r.origin.when, r.kind,   r.origin.counter,   r.origin.who,     r.origin.station,
                               r.set_name,    r.source, number(r.activity), number(r.seconds)};
    for (const qc_channel& ch : r.channels) {
        for (const std::string& text :
             {std::string(ch.judged ? "1" : "0"), number(ch.counts), number(ch.rate), number(ch.value),
              number(ch.u_value), number(ch.expected), std::string(ch.limits ? "1" : "0"), number(ch.mean),
              number(ch.sigma), std::string(ch.judged ? verdict_name(ch.verdict) : "")})
            v.push_back(text);
    }
    v.push_back(verdict_name(r.verdict));
    v.push_back(r.note);
    r.id = add_record(store_, qc_table, insert_qc, v);
}

std::vector<qc_record> lab_store::qc_records() {
    std::vector<qc_record> out;
    if (!store_.has_table(qc_table.name)) return out;
    store_.query_each(select_qc, {}, [&out](const std::vector<std::string_view>& c) {
        if (c.size() < 32) return;
        qc_record r;
        r.id = c[0];
        r.origin = {std::string(c[1]), std::string(c[4]), std::string(c[5]), std::string(c[3])};
        r.kind = c[2];
        r.set_name = c[6];
        r.source = c[7];
        r.activity = number_of(c[8]);
        r.seconds = number_of(c[9]);
        for (std::size_t ch = 0; ch < 2; ++ch) {
            const std::size_t at = 10 + 10 * ch;
            qc_channel& q = r.channels[ch];
            q.judged = c[at] == "1";
            q.counts = number_of(c[at + 1]);
            q.rate = number_of(c[at + 2]);
            q.value = number_of(c[at + 3]);
            q.u_value = number_of(c[at + 4]);
            q.expected = number_of(c[at + 5]);
            q.limits = c[at + 6] == "1";
            q.mean = number_of(c[at + 7]);
            q.sigma = number_of(c[at + 8]);
            q.verdict = verdict_of(std::string(c[at + 9])).value_or(qc_verdict::fail);
        }
        r.verdict = verdict_of(std::string(c[30])).value_or(qc_verdict::fail);
        r.note = c[31];
        out.push_back(std::move(r));
    });
    return out;
}

void lab_store::add(plateau_record& r) {
    r.id =
        add_record(store_, plateau_table, insert_plateau,
                   {r.origin.when, r.origin.counter, r.origin.who, r.origin.station, std::to_string(r.supply),
                    std::to_string(r.channel), r.preset_time, number(r.max_slope), points_text(r.points),
                    r.found ? "1" : "0", number(r.start), number(r.end), number(r.slope), number(r.operating_voltage)});
}

std::vector<plateau_record> lab_store::plateau_records() {
    std::vector<plateau_record> out;
    if (!store_.has_table(plateau_table.name)) return out;
    store_.query_each(select_plateau, {}, [&out](const std::vector<std::string_view>& c) {
        if (c.size() < 15) return;
        plateau_record r;
        r.id = c[0];
        r.origin = {std::string(c[1]), std::string(c[3]), std::string(c[4]), std::string(c[2])};
        r.supply = static_cast<int>(number_of(c[5]));
        r.channel = static_cast<int>(number_of(c[6]));
        r.preset_time = c[7];
        r.max_slope = number_of(c[8]);
        r.points = points_of(c[9]);
        r.found = c[10] == "1";
        r.start = number_of(c[11]);
        r.end = number_of(c[12]);
        r.slope = number_of(c[13]);
        r.operating_voltage = number_of(c[14]);
        out.push_back(std::move(r));
    });
    return out;
}

std::map<std::string, std::string, std::less<>> lab_store::qc_marks() {
    std::map<std::string, std::string, std::less<>> out;
    if (!store_.has_table(qc_marks_table.name)) return out;
    store_.query_each("SELECT result_id, mark FROM qc_marks", {}, [&out](const std::vector<std::string_view>& c) {
        if (c.size() >= 2) out.emplace(std::string(c[0]), std::string(c[1]));
    });
    return out;
}

std::vector<qc_record> qc_records_at(const std::string& location, const store_options& options) {
    const auto store = open_existing_store(location, options);
    return store ? lab_store(*store).qc_records() : std::vector<qc_record>{};
}

} // namespace xkv
