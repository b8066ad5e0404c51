// The same rows in an SQLite file and on the server give the same bytes from every command.

#include "cli/cli.h"
#include "results/results_store.h"
#include "results/save_results.h"
#include "results/viewer_query.h"
#include "results_db.h"
#include "support/pg_cluster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>

using namespace xkv;

namespace {

// Rows that exercise what differs between the stores: case, a Windows-1252 byte, quotes and
// wildcards in texts, empty numbers, fractions, several modes, sets and days.
std::vector<std::pair<std::string, _r_results>> stamped_rows() {
    std::vector<std::pair<std::string, _r_results>> rows;
    const char* counts[] = {"1000", "1030", "970", "1010", "990"};
    for (int i = 0; i < 5; ++i) {
        _r_results r = test::measured_row("CHK");
        r.series_number = std::to_string(i + 1);
        r.mode = "C1,C2";
        r.p1 = r.p2 = counts[i];
        rows.emplace_back("2024-05-0" + std::to_string(i + 1) + " 10:00:00", r);
    }
    const auto add = [&rows](const std::string& ts, const std::string& sample, auto&& change) {
        _r_results r = test::measured_row(sample);
        change(r);
        rows.emplace_back(ts, r);
    };
    add("2024-06-01 08:30:15", "abc", [](_r_results& r) { r.p1 = "0.1"; });
    add("2024-06-02 23:59:59", "ABC", [](_r_results& r) {
        r.hv = "950";
        r.calibration.name = "Filter";
    });
    add("2024-06-03 00:00:00", "\xC4rger", [](_r_results& r) { r.description = "caf\xE9"; });
    add("2024-06-03 09:00:00", "\xC3\x84pfel", [](_r_results& r) {
        r.units = "\xC2\xB5"
                  "Bq";
    });
    add("2024-06-04 12:00:00", "50%_x 'it''s' \"q\"", [](_r_results& r) {
        r.mode = "R1,R2";
        r.p2 = "12345.678";
    });
    add("2024-06-05 12:00:00", "empty", [](_r_results& r) {
        r.quantity = "";
        r.MDA_a = "";
        r.MDA_b = "";
        r.calibration.background_correction = false;
    });
    return rows;
}

struct program_dir {
    test::temp_dir dir;
    explicit program_dir(const std::string& database) {
        std::filesystem::create_directories(dir.file("ini"));
        std::filesystem::create_directories(dir.file("templates"));
        std::filesystem::copy_file(XKV_SOURCE_DIR "/templates/report.tpl", dir.file("templates/report.tpl"));
        test::write_file(dir.file("ini/program_opt.xkv"), "[DB]\r\ndatabase=" + database + "\r\n");
    }
    // The command's stdout, or of a command that writes FILE, the file's bytes.
    std::string answer(std::vector<std::string> args) {
        const bool to_file = !args.empty() && args.size() > 1 && args[1] == "FILE";
        if (to_file) args[1] = dir.file("out." + std::string(args[0] == "report" ? "txt" : args[0].substr(7)));
        std::ostringstream out, err;
        args.insert(args.begin(), {"--dir", dir.path()});
        const int code = cli::run(args, out, err, {dir.path(), [](int) {}, nullptr, {}});
        EXPECT_EQ(code, cli::exit_ok) << err.str();
        return to_file ? test::read_file(args[3]) : out.str();
    }
};

// The parts of a zip as its local headers give them: name, then the stored bytes.
std::map<std::string, std::string> zip_entries(const std::string& zip) {
    const auto at = [&zip](std::size_t pos, int bytes) {
        std::uint32_t v = 0;
        for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(zip.at(pos + i));
        return v;
    };
    std::map<std::string, std::string> parts;
    for (std::size_t pos = 0; pos + 30 <= zip.size() && at(pos, 4) == 0x04034b50;) {
        const std::size_t stored = at(pos + 18, 4), name = at(pos + 26, 2), extra = at(pos + 28, 2);
        parts[zip.substr(pos + 30, name)] = zip.substr(pos + 30 + name + extra, stored);
        pos += 30 + name + extra + stored;
    }
    return parts;
}

struct PostgresParity : ::testing::Test {
    test::pg_cluster server;
    program_dir file{"results.mdb"};
    std::unique_ptr<program_dir> station;

    PostgresParity() {
        // Bytes kept as the file keeps them: no encoding checked or converted, C collation.
        server.sql("CREATE DATABASE xkv ENCODING 'SQL_ASCII' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0");
        station = std::make_unique<program_dir>(server.uri("xkv"));
        for (const std::string& location : {file.dir.file("results.mdb"), server.uri("xkv")}) {
            const auto store = open_results_store(location);
            results_store::transaction all(*store);
            for (const auto& [ts, row] : stamped_rows()) store->insert_result(insert_values(row), ts);
            all.commit();
        }
    }
};

TEST_F(PostgresParity, EveryCommandGivesTheSameBytes) {
    const std::vector<std::vector<std::string>> commands = {{"list"},
                                                            {"list", "--limits"},
                                                            {"qc", "chi2"},
                                                            {"report", "FILE"},
                                                            {"export-xls", "FILE"},
                                                            {"export-csv", "FILE"},
                                                            {"export-xlsx", "FILE"}};
    for (const auto& command : commands) {
        const std::string expected = file.answer(command), answered = station->answer(command);
        EXPECT_GT(expected.size(), 100u) << command[0];
        if (command[0] != "export-xlsx") {
            EXPECT_EQ(answered, expected) << command[0];
            continue;
        }
        // An .xlsx names the second it was made in (docProps/core.xml): every other part the same.
        auto expected_parts = zip_entries(expected), answered_parts = zip_entries(answered);
        EXPECT_EQ(expected_parts.erase("docProps/core.xml"), 1u);
        EXPECT_EQ(answered_parts.erase("docProps/core.xml"), 1u);
        EXPECT_GE(expected_parts.size(), 5u);
        EXPECT_EQ(answered_parts, expected_parts);
    }
}

TEST_F(PostgresParity, EveryFilterFindsTheSameRows) {
    const std::vector<std::vector<std::string>> filters = {
        {"--sample", "abc"}, {"--sample", "\xC4rger"}, {"--mode", "R1,R2"},    {"--set", "Filter"},
        {"--hv", "950"},     {"--from", "2024-06-01"}, {"--to", "2024-06-03"}, {"--p1-from", "990"},
        {"--p1-to", "0.5"},  {"--p2-from", "1000"},    {"--p2-to", "1010"},    {"--sample", "50%_x 'it''s' \"q\""}};
    for (std::vector<std::string> filter : filters) {
        filter.insert(filter.begin(), "list");
        const std::string expected = file.answer(filter);
        EXPECT_NE(expected.find('\n'), expected.rfind('\n')) << filter[1] << " finds nothing";
        EXPECT_EQ(station->answer(filter), expected) << filter[1] << " " << filter[2];
    }
    // The filter lists: LIKE ignores the case of a to z only (an "ä" finds no "Ä"), "%" and "_"
    // match anything.
    const auto file_store = open_results_store(file.dir.file("results.mdb"));
    const auto server_store = open_results_store(server.uri("xkv"));
    for (const filter_list list : {filter_list::sample, filter_list::mode, filter_list::cal_name, filter_list::hv})
        for (const std::string typed : {"", "a", "A", "\xC4", "\xC3\xA4", "5_%", "9", "c1"}) {
            auto expected = refill_list(*file_store, list, typed);
            auto answered = refill_list(*server_store, list, typed);
            std::sort(expected.begin(), expected.end());
            std::sort(answered.begin(), answered.end());
            EXPECT_EQ(answered, expected) << static_cast<int>(list) << " " << typed;
        }
}

} // namespace
