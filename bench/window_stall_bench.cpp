// How long the window's thread stops answering during the program's waits: a 20 ms timer runs on
// it while each case runs, and the longest gap between two of its events is printed as
//   CASE max_gap_ms N
// Cases: the device test, "Select DataBase", opening a run (the settings wait), STOP (its wait),
// and an update check against a loopback host that accepts and never answers. Runs offscreen
// against the simulated instrument in well under a minute.

#include "app/ui/main_form.h"
#include "app/ui/xkv_application.h"
#include "app/update_check.h"
#include "measurement/parameter_sets.h"
#include "measurement/ui/real_measurment.h"
#include "settings/ini_file.h"
#include "settings/settings_files.h"
#include "support/http_server.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"
#include "ui/painting_wait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using namespace xkv;

// Answers every dialog at once: file dialogs with the chosen database, questions with Cancel.
class bench_services : public ui_services {
public:
    std::string database;
    void show_message(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    void show_warning(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "warning: %s\n", text.c_str());
    }
    void show_error(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
    bool confirm_ok_cancel(const std::string&, default_answer) override { return false; }
    bool confirm_yes_no(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> choose_open_file(const std::string&, const std::string&) override { return database; }
    std::optional<std::string> choose_save_file(const std::string&, const std::string&) override { return database; }
    std::optional<std::string> ask_text(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    bool open_with_desktop(const std::string&) override { return false; }
};

// Runs `action` from the event loop, then keeps the loop going until `done` holds (or `limit_ms`),
// and gives the longest gap between the 20 ms timer's events meanwhile.
qint64 max_gap_during(const std::function<void()>& action, const std::function<bool()>& done, int limit_ms) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    QTimer beat;
    beat.setInterval(20);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    QEventLoop loop;
    QTimer check;
    check.setInterval(10);
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done() || clock.elapsed() > limit_ms) loop.quit();
    });
    beat.start();
    check.start();
    QTimer::singleShot(0, [&] {
        last = clock.elapsed();
        action();
    });
    loop.exec();
    return std::max(worst, clock.elapsed() - last);
}

void print(const char* name, qint64 gap) {
    std::printf("%s max_gap_ms %lld\n", name, static_cast<long long>(gap));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    xkv_application app(argc, argv);
    test::temp_dir config; // the windows' remembered layout stays out of the user's folder
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(config.path()));
    test::sim_process sim;
    test::http_server silent_host;
    silent_host.set_silent(true);

    test::temp_dir dir;
    std::filesystem::create_directories(dir.path() + "/ini");
    const std::string options_path = dir.path() + program_options_file;
    ini_file options(options_path);
    options.write_string("PORTS", "COM1", sim.link_path());
    options.write_string("UPDATE", "host", silent_host.host());
    options.write_integer("UPDATE", "auto", 0);
    options.write_string("COM", "timeout", "3");
    test::write_file(dir.path() + calibration_file, "[Soil]\r\nalpha=0.5\r\nbeta=0.5\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\n");

    bench_services services;
    services.database = dir.path() + "/other.mdb";
    app.set_services(&services);
    session state = session::read(dir.path());
    TMainForm main(state, services);
    main.show();
    Treal_measurment run(&main, state, services, painting_wait);

    bool finished = false;
    const auto until_finished = [&finished] { return finished; };

    print("device_test", max_gap_during(
                             [&] {
                                 main.TestDeviceClick();
                                 finished = true;
                             },
                             until_finished, 5000));
    finished = false;
    print("select_database", max_gap_during(
                                 [&] {
                                     main.SelectDataBaseClick();
                                     finished = true;
                                 },
                                 until_finished, 5000));

    const run_setup setup{"Soil", "S1", "bench", "1", "100000", "1", "Bq"};
    print("open_run", max_gap_during([&] { run.open_run(setup); },
                                     [&] { return run.engine() && run.engine()->state() == run_state::ready; }, 15000));
    run.Button2Click(); // START; the count runs a second before STOP
    painting_wait(1200);
    print("stop", max_gap_during([&] { run.Button1Click(); },
                                 [&] {
                                     return run.engine()->state() == run_state::finished &&
                                            run.engine()->buttons() == button_set::finished;
                                 },
                                 10000));
    print("update_check",
          max_gap_during([&] { main.CheckForUpdatesClick(); }, [&] { return !main.update_check_pending(); }, 12000));
    app.set_services(nullptr);
    return 0;
}
