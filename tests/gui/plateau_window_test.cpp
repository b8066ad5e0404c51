// The plateau window against the simulated instrument's plateau curve: the curve grows point by
// point, the plateau and operating voltage are found, the record is stored, the profile's voltages
// go back to the instrument, and the voltage goes into the profile as the settings editor takes it.

#include "windows_fixture.h"

#include "lab/lab_store.h"
#include "lab/ui/plateau_form.h"
#include "support/sim_process.h"

#include <QLineSeries>

using namespace xkv;
using test::windows_fixture;

class plateau_window_test : public QObject {
    Q_OBJECT
private slots:
    void a_scan_finds_the_plateau_and_its_voltage_goes_into_the_profile();
};

void plateau_window_test::a_scan_finds_the_plateau_and_its_voltage_goes_into_the_profile() {
    test::sim_process sim({"--speed", "1000", "--alpha", "500", "--plateau", "800,1"});
    windows_fixture f(sim.link_path());
    test::write_file(f.profile_path(), "[MODE]\r\nmode=3\r\n[HV]\r\nhv1=950\r\nhv2=900\r\n");
    f.start_windows();
    auto* w = f.window<Tplateau_form>();
    f.find("HvPlateau")->trigger();
    QVERIFY(w->isVisible());
    QVERIFY(!f.enabled(w, "Button4")); // nothing to use yet
    f.type(w, "Edit1", "700");
    f.type(w, "Edit2", "1300");
    f.type(w, "Edit3", "100");
    f.type(w, "Edit4", "10");
    std::vector<std::size_t> growing;
    f.click(w, "Button1"); // START
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            if (w->scan() && (growing.empty() || growing.back() != w->scan()->points().size()))
                growing.push_back(w->scan()->points().size());
            return w->scan() && !w->scan()->timer_on();
        }(),
        60000);
    QCOMPARE(w->scan()->state(), plateau_scan_state::finished);
    QVERIFY(growing.size() >= 3); // seen while it grew
    QVERIFY2(f.text(w, "Label1").startsWith("plateau 900 .. 1300 V (400 V)"), qPrintable(f.text(w, "Label1")));
    QVERIFY(f.text(w, "Label1").endsWith("operating voltage 1000 V"));
    const auto* chart = f.control<QChartView>(w, "Chart1")->chart();
    QCOMPARE(static_cast<QLineSeries*>(chart->series().at(0))->count(), 7);
    const auto commands = sim.commands();
    QCOMPARE(std::vector<std::string>(commands.end() - 4, commands.end()),
             (std::vector<std::string>{"tarvo", "j1 950", "j2 900", "n"}));
    QCOMPARE(lab_store(*open_results_store(f.database())).plateau_records().size(), 1u);

    // Use as HV: confirmed, taken into the profile, then written where the operator saves it.
    f.services.answers = {true, true};
    const std::string saved = f.program_dir() + "/plateau.xkv";
    f.services.files.push_back(saved);
    f.click(w, "Button4");
    QCOMPARE(f.services.confirmations.at(0).text, std::string("Put 1000 V into the profile as HV1 ?"));
    QCOMPARE(f.services.confirmations.at(1).text, std::string("Save config File ?"));
    QCOMPARE(f.state->profile.hv1, std::string("1000"));
    QCOMPARE(f.state->profile.hv2, std::string("900"));
    QCOMPARE(ini_file(saved).read_string("HV", "hv1", ""), std::string("1000"));

    if (const char* shot = std::getenv("XKV_SHOT")) w->grab().save(shot);
}

XKV_SHELL_TEST_MAIN(plateau_window_test)
#include "plateau_window_test.moc"
