// The windows as an operator meets them: texts written on the original platform (Windows-1252)
// and texts from files or the network shown as they are; then the main window, parameter editor,
// viewer and run window against the simulated instrument.

#include "windows_fixture.h"

#include "app/ui/options_form.h"
#include "results/results_db.h"
#include "results/save_results.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

#include <QStatusBar>

#include <algorithm>

using namespace xkv;
using test::windows_fixture;

namespace {

void save_samples(const std::string& database, std::initializer_list<const char*> samples) {
    run_table table;
    std::size_t i = 0;
    for (const char* s : samples) table[i++] = test::measured_row(s);
    save_results(table, database);
}

} // namespace

class operator_road_test : public QObject {
    Q_OBJECT
private slots:
    void texts_keep_their_bytes_and_show_as_plain_text();
    void windows_follow_the_operator();
};

void operator_road_test::texts_keep_their_bytes_and_show_as_plain_text() {
    windows_fixture f;
    _options p;
    p.creator = "M\xFCller"; // Windows-1252
    p.hv1 = "<h1>Site moved</h1>";
    write_profile(f.profile_path(), p);
    const std::string before = test::read_file(f.profile_path());
    save_samples(f.database(), {"M\xFCller", "S1"});
    test::write_file(f.calibrations(), "[Soil]\r\nunits=\xB5Sv/h\r\n");
    f.start_windows();

    // File and network texts are plain text.
    QCOMPARE(f.label("value_hv1"), QString("<h1>Site moved</h1>"));
    QCOMPARE(f.find<QLabel>("value_hv1")->textFormat(), Qt::PlainText);
    QCOMPARE(f.find<QLabel>("update_notice")->textFormat(), Qt::PlainText);

    // "&Edit Options", OK without a change, then saving: the file keeps its bytes.
    auto* editor = f.main->findChild<TOptionsForm*>();
    test::run_modal(f.find("EditOptions"), editor, [&] { f.click(editor, "Button_OK"); });
    f.services.files = {f.profile_path()};
    f.main->SaveOptionsClick();
    QCOMPARE(test::read_file(f.profile_path()), before);

    // A pasted line break never reaches a settings field.
    f.control<QLineEdit>(editor, "Edit_hv2")->setText("7\r\n[PORTS]\r\nCOM1=/tmp/x");
    QCOMPARE(f.control<QLineEdit>(editor, "Edit_hv2")->text(), QString("7"));
    f.find("MeasurmmentParameters")->trigger();
    auto* cal = f.window<Tcal_form>();
    QCOMPARE(f.text(cal, "Edit_units"), QString::fromUtf8("\u00b5Sv/h"));
    f.click(cal, "Button4"); // EDIT, then OK with the units untouched
    f.type(cal, "Edit_description", "dried\n[Water]");
    QCOMPARE(f.text(cal, "Edit_description"), QString("dried"));
    f.click(cal, "Button1");
    QVERIFY(test::read_file(f.calibrations()).find("units=\xB5Sv/h\r\n") != std::string::npos);
    cal->close();

    // A list entry in Windows-1252 finds its rows.
    f.find("ViewDataBase")->trigger();
    auto* viewer = f.window<TViewDB>();
    QTRY_COMPARE(f.rows(viewer, "Grid"), 2);
    auto* samples = f.control<QComboBox>(viewer, "samplecombo");
    samples->setCurrentIndex(samples->findText(QString::fromUtf8("M\u00fcller")));
    f.click(viewer, "Button2");
    QCOMPARE(f.rows(viewer, "Grid"), 1);
    QCOMPARE(f.cell(viewer, "Grid", 0, 2), QString::fromUtf8("M\u00fcller"));
}

void operator_road_test::windows_follow_the_operator() {
    test::sim_process sim;
    windows_fixture f(sim.link_path());
    save_samples(f.database(), {"W-261208-01", "S1"});
    test::write_file(f.calibrations(), "[Air]\r\nC=1\r\nD=1\r\nE=1\r\n"
                                       "[Soil]\r\nalpha=0.5\r\nbeta=0.5\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\n");
    f.start_windows();

    // Status panels 200, 500 and at least 50 wide, on a bar 18 high.
    QCOMPARE(f.find<QLabel>("status_device")->width(), 200);
    QCOMPARE(f.find<QLabel>("status_database")->width(), 500);
    QVERIFY(f.find<QLabel>("status_port")->width() >= 50);
    QCOMPARE(f.main->statusBar()->height(), 18);

    // After OK the editor is back in browse mode on the first set when the check of its empty B fails.
    f.find("MeasurmmentParameters")->trigger();
    auto* cal = f.window<Tcal_form>();
    QVERIFY(std::ranges::any_of(cal->findChildren<QLabel*>(), [](const QLabel* l) {
        return l->text().endsWith("Result = K(Alpha)*(R1-Bkgnd(Alpha)) [+dimension]");
    }));
    f.choose(cal, "ComboBox1", "Soil");
    f.click(cal, "Button4");
    f.click(cal, "Button1");
    QCOMPARE(f.services.warnings.size(), 1u);
    QCOMPARE(f.text(cal, "Edit_name"), QString("Air"));
    QVERIFY(f.control<QComboBox>(cal, "ComboBox1")->isVisibleTo(cal));
    QVERIFY(f.enabled(cal, "Button3") && f.enabled(cal, "Button4") && !f.enabled(cal, "Button1"));
    cal->close();

    // The viewer's filter keeps what is typed: "w" is neither completed nor put in capitals.
    f.find("ViewDataBase")->trigger();
    auto* viewer = f.window<TViewDB>();
    QTRY_COMPARE(f.rows(viewer, "Grid"), 2);
    auto* samples = f.control<QComboBox>(viewer, "samplecombo");
    QTest::keyClicks(samples->lineEdit(), "w");
    QTest::keyClick(samples->lineEdit(), Qt::Key_Return);
    QCOMPARE(samples->currentText(), QString("w"));
    f.click(viewer, "Button2");
    QCOMPARE(f.rows(viewer, "Grid"), 0);
    viewer->close();

    // The run window shows no row before anything is measured.
    f.find("Measurment")->trigger();
    auto* setup = f.window<Tm_form>();
    f.choose(setup, "ComboBox1", "Soil");
    f.type(setup, "Edit1", "S1");
    f.type(setup, "Edit2", "filter");
    f.type(setup, "Edit4", "100000");
    f.click(setup, "Button2");
    auto* run = f.window<Treal_measurment>();
    QTRY_VERIFY(run->engine() && run->engine()->state() != run_state::preparing);
    QCOMPARE(f.rows(run, "Output"), 0);
}

XKV_SHELL_TEST_MAIN(operator_road_test)
#include "operator_road_test.moc"
