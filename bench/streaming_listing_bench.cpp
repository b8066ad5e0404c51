// The CLI's streaming listings against the sqlite3 shell printing the same select, measured side by
// side in one run (alternating, median of the runs), with each process's peak resident memory for
// two table sizes: a listing that streams keeps the same peak whatever the number of rows.
//
//   streaming_listing_bench [rows (100000)] [runs (5)]

#include "results/save_results.h"
#include "results/t_sqlite.h"
#include "results/viewer_query.h"
#include "settings/value_text.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

using namespace xkv;

struct process_run {
    double seconds = 0;
    long peak_kib = 0;
};

// Runs argv with stdout to /dev/null; wall time and peak resident set of the child.
process_run run_process(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", argv[0]);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), usage.ru_maxrss};
}

_r_results result_row(std::size_t i, std::mt19937_64& random) {
    std::uniform_real_distribution<double> activity(0.01, 500.0);
    _r_results r;
    r.sample_id = "S-2024-" + std::to_string(10000 + i);
    r.description = "soil core, field " + std::to_string(i % 37) + ", depth 10 cm";
    r.series_number = std::to_string(i % 10 + 1);
    r.hv = "1000";
    r.mode = i % 2 ? "C1,C2" : "R1,R2";
    r.p1 = std::to_string(random() % 20000);
    r.p2 = std::to_string(random() % 90000);
    r.time = "100";
    r.preset_time = "100";
    r.calibration = {};
    r.calibration.alpha = "0.31";
    r.calibration.beta = "0.42";
    r.calibration.act_alpha = "0.013";
    r.calibration.act_beta = "0.024";
    r.calibration.caption = "wipe test, standard area";
    r.calibration.name = "wipe-100cm2";
    r.calibration.background_correction = i % 2;
    r.activity_l = format_general(activity(random));
    r.u_activity_l = format_general(activity(random) / 10);
    r.activity_b = format_general(activity(random));
    r.u_activity_b = format_general(activity(random) / 10);
    r.background = {"0.01", "0.02", "1000"};
    r.quantity = "2.5";
    r.units = "Bq/g";
    r.MDA_a = format_general(activity(random) / 100);
    r.MDA_b = format_general(activity(random) / 100);
    r.koef_k = "0.2";
    r.text_act_a = r.activity_l;
    r.text_act_b = r.activity_b;
    return r;
}

void fill_database(const std::string& path, std::size_t rows) {
    std::mt19937_64 random(4410);
    t_sqlite db(path);
    t_sqlite::transaction all(db);
    for (std::size_t i = 0; i < rows; ++i) db.query(results_insert, insert_values(result_row(i, random)));
    all.commit();
}

struct comparison {
    process_run ours, shell;
};

// Alternates the two commands so that both see the same machine load; medians.
comparison side_by_side(const std::vector<std::string>& ours, const std::vector<std::string>& shell, int runs) {
    std::vector<process_run> a, b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(run_process(ours));
        b.push_back(run_process(shell));
    }
    const auto median = [](std::vector<process_run> v) {
        std::sort(v.begin(), v.end(), [](auto& x, auto& y) { return x.seconds < y.seconds; });
        process_run m = v[v.size() / 2];
        for (const auto& r : v) m.peak_kib = std::max(m.peak_kib, r.peak_kib);
        return m;
    };
    return {median(a), median(b)};
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
    }
    std::filesystem::remove_all(folder);
    return 0;
}
