#pragma once
// What the listing benchmarks share: a process run with its wall time and peak memory, two
// commands alternated under the same load, and realistic result rows.

#include "measurement/r_results.h"
#include "settings/value_text.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace xkv::bench {

struct process_run {
    double seconds = 0;
    long peak_kib = 0;
};

// Runs argv with stdout to /dev/null; wall time and peak resident set of the child.
inline process_run run_process(const std::vector<std::string>& args) {
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

inline _r_results result_row(std::size_t i, std::mt19937_64& random) {
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

struct comparison {
    process_run ours, shell;
};

// Alternates the two commands so that both see the same machine load; medians.
inline comparison side_by_side(const std::vector<std::string>& ours, const std::vector<std::string>& shell, int runs) {
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

} // namespace xkv::bench
