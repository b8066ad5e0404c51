// Listing a large results table and saving it as a spreadsheet file, each against its yardstick
// measured in the same run: the sqlite3 shell printing the same select to /dev/null, and one
// buffered stream writing the same bytes as the spreadsheet file.
//
//   results_bench [rows (100000)] [runs (5)]
//
// A plain timed program: it prints median wall times, ratios and the peak heap of the listing.

#include "results/save_results.h"
#include "results/t_sqlite.h"
#include "results/viewer_query.h"
#include "results/xls_file.h"
#include "settings/value_text.h"

#include <sqlite3.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <string>
#include <vector>

// Heap accounting: every operator new counts its usable size, so the peak of a listing is measured
// without the process's other memory.
namespace {
std::atomic<std::size_t> live_bytes{0};
std::atomic<std::size_t> peak_bytes{0};

void* counted(std::size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    const std::size_t now = live_bytes += malloc_usable_size(p);
    std::size_t peak = peak_bytes.load();
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {}
    return p;
}

void uncounted(void* p) noexcept {
    if (!p) return;
    live_bytes -= malloc_usable_size(p);
    std::free(p);
}
} // namespace

void* operator new(std::size_t n) { return counted(n); }
void* operator new[](std::size_t n) { return counted(n); }
void operator delete(void* p) noexcept { uncounted(p); }
void operator delete[](void* p) noexcept { uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { uncounted(p); }

namespace {

using namespace xkv;
using clock_type = std::chrono::steady_clock;

template <class F>
double median_seconds(int runs, F&& f) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = clock_type::now();
        f();
        times.push_back(std::chrono::duration<double>(clock_type::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Row i as a run would store it: 15-digit computed numbers, a realistic description.
_r_results result_row(std::size_t i, std::mt19937_64& random) {
    std::uniform_real_distribution<double> activity(0.01, 500.0);
    _r_results r;
    r.sample_id = "S-2024-" + std::to_string(10000 + i);
    r.description = "soil core, field " + std::to_string(i % 37) + ", depth 10 cm";
    r.series_number = std::to_string(i % 10 + 1);
    r.hv = i % 3 ? "1000" : "1150";
    r.mode = i % 2 ? "C1,C2" : "C1-C2";
    r.p1 = std::to_string(random() % 20000);
    r.p2 = std::to_string(random() % 90000);
    r.time = "100";
    r.preset_time = "100";
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
    r.text_act_a = i % 5 ? r.activity_l : "activity_alpha < MDA_alpha";
    r.text_act_b = i % 7 ? r.activity_b : "activity_beta < MDA_beta";
    return r;
}

void fill_database(const std::string& path, std::size_t rows) {
    std::mt19937_64 random(4410);
    t_sqlite db(path);
    t_sqlite::transaction all(db);
    for (std::size_t i = 0; i < rows; ++i) db.query(results_insert, insert_values(result_row(i, random)));
    all.commit();
}

std::string temp_folder() {
    std::string name = (std::filesystem::temp_directory_path() / "xkv-bench-XXXXXX").string();
    if (!::mkdtemp(name.data())) throw std::runtime_error("mkdtemp failed");
    return name;
}

double mib(std::size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

const char* verdict(double ratio, double limit) { return ratio <= limit ? "within" : "OVER"; }

// The plain way to the same bytes: record after record in file order through one std::ofstream.
void write_records_in_order(const viewer_grid& grid, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto words = [&out](std::initializer_list<std::uint16_t> ws) {
        for (const std::uint16_t w : ws) {
            const char bytes[2] = {static_cast<char>(w & 0xff), static_cast<char>(w >> 8)};
            out.write(bytes, 2);
        }
    };
    words({0x0809, 0x0008, 0x0000, 0x0010, 0x0000, 0x0000});
    for (std::size_t c = 0; c < grid.column_count(); ++c)
        for (std::size_t r = 0; r < grid.row_count(); ++r) {
            const std::string_view text = grid.cell(r, c);
            const auto length = static_cast<std::uint16_t>(text.size());
            words({0x0204, static_cast<std::uint16_t>(8 + length), static_cast<std::uint16_t>(r),
                   static_cast<std::uint16_t>(c), 0x0000, length});
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
        }
    words({0x000A, 0x0000});
}

} // namespace

int main(int argc, char** argv) {
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string folder = temp_folder();
    const std::string db_path = folder + "/results.mdb";
    const std::string select = base_select().sql;

    std::printf("rows: %zu, runs: %d (medians)\n", rows, runs);
    const double fill = median_seconds(1, [&] { fill_database(db_path, rows); });
    std::printf("writing the rows in one transaction: %.3f s\n\n", fill);

    // The yardstick: the command-line shell printing the same select.
    const std::string shell = "sqlite3 -batch '" + db_path + "' '" + select + "'";
    const bool have_shell = std::system("command -v sqlite3 > /dev/null") == 0;
    double shell_seconds = 0;
    std::size_t answer_bytes = 0;
    if (have_shell) {
        shell_seconds = median_seconds(runs, [&] {
            if (std::system((shell + " > /dev/null").c_str()) != 0) std::fprintf(stderr, "sqlite3 failed\n");
        });
        if (std::system((shell + " > '" + folder + "/answer.txt'").c_str()) == 0)
            answer_bytes = std::filesystem::file_size(folder + "/answer.txt");
    }

    viewer_grid grid;
    const double listing_seconds = median_seconds(runs, [&] {
        grid = viewer_grid();
        grid = list_results(db_path, base_select());
    });
    grid = viewer_grid();

    // Peak heap of one listing: the program's allocations and SQLite's own.
    sqlite3_int64 sqlite_now = 0, sqlite_peak = 0;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &sqlite_now, &sqlite_peak, 1);
    const std::size_t before = live_bytes.load();
    peak_bytes.store(before);
    grid = list_results(db_path, base_select());
    const std::size_t heap_peak = peak_bytes.load() - before;
    sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &sqlite_now, &sqlite_peak, 0);
    const std::size_t memory_peak = heap_peak + static_cast<std::size_t>(sqlite_peak);

    std::printf("listing %zu rows x %zu columns through t_sqlite and the viewer model\n", grid.row_count() - 1,
                grid.column_count());
    std::printf("  viewer model      %8.3f s\n", listing_seconds);
    if (have_shell) {
        const double ratio = listing_seconds / shell_seconds;
        std::printf("  sqlite3 shell     %8.3f s   ratio %.2f (%s the 3x target)\n", shell_seconds, ratio,
                    verdict(ratio, 3));
        const double memory_ratio = static_cast<double>(memory_peak) / static_cast<double>(answer_bytes);
        std::printf("  answer text       %8.1f MiB (the shell's output)\n", mib(answer_bytes));
        std::printf("  peak memory       %8.1f MiB (heap %.1f + SQLite %.1f)   ratio %.2f (%s the 3x target)\n",
                    mib(memory_peak), mib(heap_peak), mib(static_cast<std::size_t>(sqlite_peak)), memory_ratio,
                    verdict(memory_ratio, 3));
    } else {
        std::printf("  sqlite3 shell not found: no yardstick\n");
    }

    // A worksheet holds 65536 rows, header included: export the largest listing that fits.
    grid.keep_rows(xls_max_rows);
    const std::string xls_path = folder + "/listing.xls";
    const double export_seconds = median_seconds(runs, [&] { save_grid_as_xls(grid, xls_path); });
    std::string bytes;
    {
        std::ifstream in(xls_path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    const std::string plain_path = folder + "/plain.bin";
    const double stream_seconds = median_seconds(runs, [&] {
        std::ofstream out(plain_path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
    const std::string records_path = folder + "/records.xls";
    const double records_seconds = median_seconds(runs, [&] { write_records_in_order(grid, records_path); });
    const bool same_bytes = std::filesystem::file_size(records_path) == bytes.size();
    const double export_ratio = export_seconds / stream_seconds;
    std::printf("\nspreadsheet file of %zu rows x %zu columns, %.1f MiB\n", grid.row_count(), grid.column_count(),
                mib(bytes.size()));
    std::printf("  save_grid_as_xls                               %8.3f s\n", export_seconds);
    std::printf("  one stream, the file's bytes in one write      %8.3f s   ratio %.2f (%s the 2x target)\n",
                stream_seconds, export_ratio, verdict(export_ratio, 2));
    const double records_ratio = export_seconds / records_seconds;
    std::printf("  one stream, record after record in file order  %8.3f s   ratio %.2f (%s the 2x target)%s\n",
                records_seconds, records_ratio, verdict(records_ratio, 2), same_bytes ? "" : " SIZE DIFFERS");

    std::filesystem::remove_all(folder);
    return 0;
}
