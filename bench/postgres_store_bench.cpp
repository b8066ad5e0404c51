// The results store on a PostgreSQL server over loopback, on a throwaway cluster of its own:
//   - `list` of the whole table by the CLI against psql -At printing the same select, side by side
//     (alternating, medians), with each process's peak resident memory for two table sizes: rows
//     streamed from the server keep the CLI's peak the same whatever the number of rows;
//   - SAVE of a 100-row series as the run window does it (open the store, one transaction).
//
//   postgres_store_bench [rows (100000)] [runs (5)]

#include "bench_support.h"
#include "results/results_store.h"
#include "results/save_results.h"
#include "results/viewer_query.h"
#include "support/pg_cluster.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace xkv;
using namespace xkv::bench;

void fill(const std::string& uri, std::size_t rows) {
    std::mt19937_64 random(4410);
    const auto store = open_results_store(uri);
    results_store::transaction all(*store);
    for (std::size_t i = 0; i < rows; ++i) store->insert_result(insert_values(result_row(i, random)));
    all.commit();
}

// The lines a command prints, to show both printed the whole table (ours with its header line).
std::size_t output_lines(const std::vector<std::string>& args) {
    std::string command;
    for (const std::string& a : args) command += "'" + a + "' ";
    FILE* pipe = ::popen((command + "| wc -l").c_str(), "r");
    std::size_t lines = 0;
    if (pipe && std::fscanf(pipe, "%zu", &lines) != 1) lines = 0;
    if (pipe) ::pclose(pipe);
    return lines;
}

double save_seconds(const std::string& uri, int runs) {
    std::mt19937_64 random(4410);
    run_table table{};
    for (std::size_t i = 0; i < 100; ++i) table[i] = result_row(i, random);
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        const auto start = std::chrono::steady_clock::now();
        save_results(table, uri);
        times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string cli = XKV_BIN_DIR "/xkv4410-cli";
    test::pg_cluster server;
    test::temp_dir folder;

    std::printf("runs: %d, alternating, medians of wall time; peak RSS is the largest of the runs\n", runs);
    std::printf("%8s  %-12s %9s %9s %7s   %10s %10s\n", "rows", "command", "ours s", "psql s", "ratio", "ours KiB",
                "psql KiB");
    for (const std::size_t n : {rows / 10, rows}) {
        const std::string db = "xkv" + std::to_string(n);
        server.sql("CREATE DATABASE " + db);
        fill(server.uri(db), n);
        const std::string dir = folder.file(db);
        std::filesystem::create_directories(dir + "/ini");
        test::write_file(dir + "/ini/program_opt.xkv", "[DB]\r\ndatabase=" + server.uri(db) + "\r\n");
        const std::vector<std::string> ours = {cli, "--dir", dir, "list"};
        const std::vector<std::string> psql = {"psql", "-At",
                                               "-F",   "\t",
                                               "-h",   "127.0.0.1",
                                               "-p",   std::to_string(server.port()),
                                               "-U",   test::pg_cluster::superuser,
                                               "-d",   db,
                                               "-c",   base_select().sql};
        const comparison r = side_by_side(ours, psql, runs);
        std::printf("%8zu  %-12s %9.3f %9.3f %7.2f   %10ld %10ld   (lines: %zu, %zu)\n", n, "list (TSV)",
                    r.ours.seconds, r.shell.seconds, r.ours.seconds / r.shell.seconds, r.ours.peak_kib,
                    r.shell.peak_kib, output_lines(ours), output_lines(psql));
    }
    server.sql("CREATE DATABASE saves");
    std::printf("SAVE of a 100-row series (open, one transaction, row keys): median %.3f s of %d\n",
                save_seconds(server.uri("saves"), runs * 2), runs * 2);
    return 0;
}
