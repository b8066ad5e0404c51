// How long the database viewer keeps the operator waiting when SHOW lists a large table: the click
// through the window (listing, model reset, the sample list refilled) until the grid has painted,
// and the model's own share (reset and paint of a listing already read).
//
//   viewer_gui_bench [rows (100000)] [runs (5)]
//
// A plain timed program under the offscreen platform; it prints median wall times.

#include "app/ui/main_form.h"
#include "app/ui/menu_windows.h"
#include "app/ui/xkv_application.h"
#include "results/save_results.h"
#include "results/t_sqlite.h"
#include "results/ui/view_db.h"
#include "results/viewer_query.h"
#include "settings/ini_file.h"
#include "settings/settings_files.h"
#include "settings/value_text.h"
#include "ui/text_grid_model.h"

#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <vector>

namespace {

using namespace xkv;

// Answers nothing and never blocks.
class silent_services : public ui_services {
public:
    void show_message(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    void show_warning(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "warning: %s\n", text.c_str());
    }
    void show_error(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
    bool confirm_ok_cancel(const std::string&, default_answer) override { return false; }
    bool confirm_yes_no(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> choose_open_file(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> choose_save_file(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> ask_text(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    bool open_with_desktop(const std::string&) override { return false; }
};

// Wall time, and the thread's CPU time: on a machine busy with other work the CPU time tells what
// the wall time would be on an idle one (everything here runs on this one thread).
struct timing {
    double wall = 0;
    double cpu = 0;
};

double cpu_now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <class F>
timing median_timing(int runs, F&& f) {
    std::vector<double> walls, cpus;
    for (int i = 0; i < runs; ++i) {
        const double cpu = cpu_now();
        const auto start = std::chrono::steady_clock::now();
        f();
        walls.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        cpus.push_back(cpu_now() - cpu);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(cpus.begin(), cpus.end());
    return {walls[walls.size() / 2], cpus[cpus.size() / 2]};
}

void print(const char* what, const timing& t) { std::printf("%-44s %7.3f s wall %7.3f s cpu\n", what, t.wall, t.cpu); }

void fill_database(const std::string& path, std::size_t rows) {
    t_sqlite db(path);
    t_sqlite::transaction all(db);
    _r_results r;
    r.description = "soil core, depth 10 cm";
    r.series_number = "1";
    r.hv = "1000";
    r.mode = "C1,C2";
    r.time = r.preset_time = "100";
    r.calibration.name = "wipe-100cm2";
    r.calibration.caption = "wipe test, standard area";
    r.quantity = "2.5";
    r.units = "Bq/g";
    r.koef_k = "0.2";
    for (std::size_t i = 0; i < rows; ++i) {
        r.sample_id = "S-" + std::to_string(10000 + i);
        r.p1 = std::to_string(i % 20000);
        r.p2 = std::to_string(i % 90000);
        r.activity_l = r.text_act_a = format_general(static_cast<double>(i % 997) / 7.0);
        r.activity_b = r.text_act_b = format_general(static_cast<double>(i % 991) / 3.0);
        r.MDA_a = r.MDA_b = "0.0123456789012345";
        db.query(results_insert, insert_values(r));
    }
    all.commit();
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::size_t rows = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    int qt_argc = 1;
    xkv_application app(qt_argc, argv);

    char dir_template[] = "/tmp/xkv-viewer-bench-XXXXXX";
    const std::string dir = ::mkdtemp(dir_template);
    std::filesystem::create_directories(dir + "/ini");
    ini_file options(dir + program_options_file);
    options.write_string("PORTS", "COM1", dir + "/no-port");
    options.write_string("UPDATE", "auto", "0");
    fill_database(dir + "/default_database.mdb", rows);

    silent_services services;
    app.set_services(&services);
    {
        session state = session::read(dir);
        TMainForm main(state, services);
        create_menu_windows(main, state, services, [](int) {});
        auto* viewer = main.findChild<TViewDB*>();
        auto* grid = viewer->findChild<QTableView*>("Grid");
        viewer->show();
        QCoreApplication::processEvents();

        // SHOW as the operator presses it, until the grid is on the screen.
        const timing show = median_timing(runs, [&] {
            viewer->Button2Click();
            grid->grab();
        });
        std::printf("rows: %zu, runs: %d (medians)\n", viewer->grid().row_count() - 1, runs);
        print("SHOW through the viewer window, painted", show);

        // Its parts: the listing read, the sample list refilled, the model reset and painted.
        const std::string database = dir + "/default_database.mdb";
        viewer_grid listing;
        print("  the listing read (core)",
              median_timing(runs, [&] { listing = list_results(database, base_select()); }));
        print("  the sample list refilled (core)",
              median_timing(runs, [&] { refill_list(database, filter_list::sample, ""); }));
        auto* model = const_cast<text_grid_model*>(&viewer->model());
        std::vector<viewer_grid> copies(static_cast<std::size_t>(runs), listing); // handed over as SHOW does: moved
        std::size_t next = 0;
        print("  model reset (old listing freed), painted", median_timing(runs, [&] {
                  model->set_grid(std::move(copies[next++]));
                  grid->grab();
              }));
        print("scrolling to the end and back, painted", median_timing(runs, [&] {
                  grid->scrollToBottom();
                  grid->grab();
                  grid->scrollToTop();
                  grid->grab();
              }));
        std::printf("limit for SHOW: 1 s -> wall %s, cpu %s\n", show.wall <= 1.0 ? "within" : "OVER",
                    show.cpu <= 1.0 ? "within" : "OVER");
        viewer->hide();
    }
    app.set_services(nullptr);
    std::filesystem::remove_all(dir);
    return 0;
}
