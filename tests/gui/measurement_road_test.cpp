// The operator's whole road against the simulated instrument on a pty: a parameter set made in the
// editor, the setup filled, the run counted to its preset time into one row, SAVE, and the viewer
// finding, filtering, exporting and reporting that row.

#include "windows_fixture.h"

#include "measurement/ui/run_chart_view.h"
#include "results/viewer_query.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

#include <QLineSeries>
#include <QProgressBar>
#include <QTimer>

using namespace xkv;
using test::windows_fixture;

class measurement_road_test : public QObject {
    Q_OBJECT
private slots:
    void whole_road();
};

void measurement_road_test::whole_road() {
    test::sim_process sim({"--speed", "50", "--alpha", "5", "--beta", "20"});
    windows_fixture f(sim.link_path());
    TMainForm& main = f.start_windows();

    // The parameter editor: a new set starts as a copy of the defaults.
    f.find("MeasurmmentParameters")->trigger();
    auto* cal = f.window<Tcal_form>();
    QVERIFY(cal->isVisible());
    QCOMPARE(cal->windowTitle(), QString("Measurment Parameters"));
    f.click(cal, "Button3"); // NEW
    QVERIFY(f.enabled(cal, "Edit_name"));
    f.type(cal, "Edit_name", "Soil");
    f.type(cal, "Edit_description", "dried soil");
    f.type(cal, "Edit_alpha", "0.5");
    f.type(cal, "Edit_A_Uncer", "0.1");
    f.type(cal, "Edit_beta", "0.25");
    f.type(cal, "Edit_B", "2");
    for (const char* e : {"Edit_C", "Edit_D", "Edit_E"}) f.type(cal, e, "1");
    f.type(cal, "Edit_units", "Bq/g");
    f.click(cal, "Button1"); // OK
    QVERIFY(f.services.messages.empty());
    QCOMPARE(f.control<QComboBox>(cal, "ComboBox1")->currentText(), QString("Soil"));
    QVERIFY(!f.enabled(cal, "Edit_alpha")); // browse mode again
    f.click(cal, "Button2");                // CLOSE
    QVERIFY(!cal->isVisible());

    // The setup: choosing the set fills preset time, units and (B used as 1/X) the quantity.
    f.find("Measurment")->trigger();
    auto* setup = f.window<Tm_form>();
    QVERIFY(setup->isVisible());
    f.choose(setup, "ComboBox1", "Soil");
    QCOMPARE(f.text(setup, "Edit4"), QString("100"));
    QCOMPARE(f.text(setup, "edit5"), QString("2"));
    QCOMPARE(f.text(setup, "label_k"), QString("K = 1"));
    f.type(setup, "Edit4", "3");
    f.type(setup, "Edit1", "S1");
    QVERIFY(!f.enabled(setup, "Button2")); // no description yet
    f.type(setup, "Edit2", "field 4");
    QVERIFY(f.enabled(setup, "Button2"));
    f.click(setup, "Button2"); // START

    // The run window opens, downloads the settings and waits, then offers START.
    auto* run = f.window<Treal_measurment>();
    QVERIFY(run->isVisible());
    QTRY_VERIFY(f.enabled(run, "Button2"));
    QCOMPARE(f.waits, std::vector<int>{settings_wait_ms});
    QCOMPARE(run->windowTitle(), QString("MEASURMENT IN PROGRESS"));
    QCOMPARE(f.text(run, "label_sample_id"), QString("Sample ID : S1"));
    QCOMPARE(f.text(run, "label_background"), QString("Background measurment"));
    QCOMPARE(f.rows(run, "Output"), 0); // nothing measured yet
    QVERIFY(sim.wait_logged("U 16"));

    f.click(run, "Button2"); // START
    QVERIFY(!f.enabled(run, "Button2"));
    QVERIFY(f.enabled(run, "Button1") && f.enabled(run, "Button3"));
    QVERIFY(f.control<QTimer>(run, "Timer1")->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(f.enabled(run, "Button4"), 20000); // SAVE: the series has finished

    QCOMPARE(run->engine()->state(), run_state::finished);
    QCOMPARE(f.rows(run, "Output"), 1);
    QCOMPARE(f.cell(run, "Output", 0, 0), QString("0"));
    QCOMPARE(f.cell(run, "Output", 0, 1), QString("S1"));
    QCOMPARE(f.cell(run, "Output", 0, 8), QString("3")); // time
    QCOMPARE(f.cell(run, "Output", 0, 6), QString("5")); // ratemeter: the alpha rate
    QCOMPARE(f.text(run, "label_measurement_time"), QString("Measurment time : 3 s "));
    QCOMPARE(f.control<QProgressBar>(run, "ProgressBar1")->value(), 3);
    QVERIFY(!f.control<QTimer>(run, "Timer1")->isActive());
    QCOMPARE(f.waits, (std::vector<int>{settings_wait_ms, stop_wait_ms}));
    // The chart got the values of the counter ticks.
    const auto* chart = f.control<run_chart_view>(run, "Chart1");
    QVERIFY(chart->alpha_series()->count() >= 1);
    QCOMPARE(chart->alpha_series()->at(0).y(), 5.0);

    f.click(run, "Button4"); // SAVE closes the run window and the setup dialog
    QVERIFY(!run->isVisible());
    QVERIFY(!setup->isVisible());
    QVERIFY(run->engine() == nullptr);

    // The viewer lists the saved row, filters it, exports it and reports it.
    f.find("ViewDataBase")->trigger();
    auto* viewer = f.window<TViewDB>();
    QTRY_COMPARE(f.rows(viewer, "Grid"), 1);
    QCOMPARE(f.cell(viewer, "Grid", 0, 2), QString("S1"));
    QCOMPARE(f.cell(viewer, "Grid", 0, 16), QString("Soil"));
    f.control<QComboBox>(viewer, "samplecombo")->setEditText("S2");
    f.click(viewer, "Button2"); // SHOW
    QCOMPARE(f.rows(viewer, "Grid"), 0);
    f.control<QComboBox>(viewer, "samplecombo")->setEditText("S1");
    f.click(viewer, "Button2");
    QCOMPARE(f.rows(viewer, "Grid"), 1);

    const std::string xls = f.dir.file("listing.xls");
    f.services.files.push_back(xls);
    f.click(viewer, "Button3");
    QCOMPARE(f.services.messages, std::vector<std::string>{"file saved!"});
    QVERIFY(test::read_file(xls).find("S1") != std::string::npos);

    const std::string report = f.dir.file("report.txt");
    f.services.files.push_back(report);
    f.click(viewer, "Button4");
    QCOMPARE(f.services.opened, std::vector<std::string>{report});
    const std::string text = test::read_file(report);
    QVERIFY(text.find("Sample S1, measurement 1") != std::string::npos);
    // The latest run heads the report.
    QVERIFY(text.find("Description      : field 4") != std::string::npos);
    QVERIFY(f.services.warnings.empty());
    (void)main;
}

XKV_SHELL_TEST_MAIN(measurement_road_test)
#include "measurement_road_test.moc"
