// The CLI's streaming listings against the sqlite3 shell printing the same select, measured side by
// side in one run (alternating, median of the runs), with each process's peak resident memory for
// two table sizes: a listing that streams keeps the same peak whatever the number of rows.
//
// Then `report` (which stops at the rows a report holds) and `chart` (drawn at the picture's width)
// on the same tables, with their time and peak memory.
//
//   streaming_listing_bench [rows (100000)] [runs (5)]      e.g. 1000000 1 for a million rows

#include "bench_support.h"
#include "results/save_results.h"
#include "results/t_sqlite.h"
#include "results/viewer_query.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace xkv;
using namespace xkv::bench;

void fill_database(const std::string& path, std::size_t rows) {
    std::mt19937_64 random(4410);
    t_sqlite db(path);
    t_sqlite::transaction all(db);
    for (std::size_t i = 0; i < rows; ++i) db.query(results_insert, insert_values(result_row(i, random)));
    all.commit();
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string cli = XKV_BIN_DIR "/xkv4410-cli";
    const std::string select = base_select().sql;
    char name[] = "/tmp/xkv-stream-XXXXXX";
    const std::string folder = ::mkdtemp(name);

    std::printf("runs: %d, alternating, medians of wall time; peak RSS is the largest of the runs\n", runs);
    std::printf("%8s  %-28s %9s %9s %7s   %10s %10s\n", "rows", "command", "ours s", "sqlite3 s", "ratio", "ours KiB",
                "sqlite3 KiB");
    for (const std::size_t n : {rows / 10, rows}) {
        const std::string dir = folder + "/" + std::to_string(n);
        std::filesystem::create_directories(dir + "/ini");
        const std::string db = dir + "/default_database.mdb";
        fill_database(db, n);
        const struct {
            const char* label;
            std::vector<std::string> ours, shell;
        } cases[] = {
            {"list (TSV)", {cli, "--dir", dir, "list"}, {"sqlite3", "-batch", "-header", "-tabs", db, select}},
            {"list --limits (TSV)",
             {cli, "--dir", dir, "list", "--limits"},
             {"sqlite3", "-batch", "-header", "-tabs", db, select}},
            {"export-csv FILE",
             {cli, "--dir", dir, "export-csv", dir + "/out.csv"},
             {"sqlite3", "-batch", "-header", "-csv", db, select}},
        };
        for (const auto& c : cases) {
            const comparison r = side_by_side(c.ours, c.shell, runs);
            std::printf("%8zu  %-28s %9.3f %9.3f %7.2f   %10ld %10ld\n", n, c.label, r.ours.seconds, r.shell.seconds,
                        r.ours.seconds / r.shell.seconds, r.ours.peak_kib, r.shell.peak_kib);
        }
        std::filesystem::create_directories(dir + "/templates");
        std::filesystem::copy_file(XKV_SOURCE_DIR "/templates/report.tpl", dir + "/templates/report.tpl",
                                   std::filesystem::copy_options::overwrite_existing);
        const struct {
            const char* label;
            std::vector<std::string> ours;
        } alone[] = {
            {"report FILE", {cli, "--dir", dir, "report", dir + "/report.txt"}},
            {"chart activity_l FILE.png", {cli, "--dir", dir, "chart", "activity_l", dir + "/chart.png"}},
        };
        for (const auto& c : alone) {
            process_run best = run_process(c.ours);
            for (int i = 1; i < runs; ++i) {
                const process_run r = run_process(c.ours);
                best.seconds = std::min(best.seconds, r.seconds);
                best.peak_kib = std::max(best.peak_kib, r.peak_kib);
            }
            std::printf("%8zu  %-28s %9.3f %9s %7s   %10ld\n", n, c.label, best.seconds, "-", "-", best.peak_kib);
        }
    }
    std::filesystem::remove_all(folder);
    return 0;
}
