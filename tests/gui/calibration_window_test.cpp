// The calibration window from counts read elsewhere: a bad number is refused with a message, the
// check's efficiency is computed, kept as the set's first version, applied to its keys and shown
// in the set's history.

#include "windows_fixture.h"

#include "lab/ui/calibration_form.h"
#include "measurement/parameter_sets.h"
#include "support/sim_process.h"

#include <QCheckBox>

#include <cmath>

using namespace xkv;
using test::windows_fixture;

class calibration_window_test : public QObject {
    Q_OBJECT
private slots:
    void entered_counts_are_computed_kept_applied_and_listed();
    void escape_during_a_count_stops_it_at_the_instrument();
};

void calibration_window_test::entered_counts_are_computed_kept_applied_and_listed() {
    windows_fixture f;
    test::write_file(f.calibrations(), "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\n"
                                       "caption=Soil\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=10\r\n"
                                       "bkgnd_corr=1\r\n");
    test::write_file(f.profile_path(), "[BACKGROUND]\r\nalpha=0.1\r\nbeta=1.0\r\ntime=1000\r\n");
    f.start_windows();
    f.find("Calibration")->trigger();
    auto* w = f.window<Tcalibration_form>();
    QVERIFY(w->isVisible());
    QCOMPARE(f.control<QComboBox>(w, "ComboBox2")->currentText(), QString("Soil"));
    QCOMPARE(f.control<QComboBox>(w, "ComboBox1")->currentText(), QString("alpha efficiency"));
    QVERIFY(!f.enabled(w, "Button4")); // nothing to keep yet

    // The check: A0 100 Bq (u 2), 2020-01-01, 432.6 years; 3000 counts in 100 s on 2026-12-08
    // against 0.1 /s over 1000 s.
    f.type(w, "Edit1", "Am-241");
    f.type(w, "Edit2", "1OO"); // letters O, not zeros
    f.type(w, "Edit3", "2");
    f.type(w, "Edit4", "2020-01-01");
    f.type(w, "Edit5", "432.6");
    f.type(w, "Edit7", "3000");
    f.type(w, "Edit8", "100");
    f.type(w, "Edit9", "2026-12-08");
    f.click(w, "Button3");
    QCOMPARE(f.services.messages.back(), std::string("the activity '1OO' is no number: nothing to keep"));
    QVERIFY(!w->pending());

    f.type(w, "Edit2", "100");
    f.click(w, "Button3");
    QVERIFY(w->pending());
    // Independently: A = A0 exp(-ln2 * 2533 d / (365.25 T)), n = N/t - r0, u^2(n) = N/t^2 + r0/t0.
    const double A = 100 * std::exp(-std::log(2.0) * 2533 / (365.25 * 432.6));
    const double n = 3000.0 / 100 - 0.1;
    const double u_rel = std::sqrt((3000.0 / 1e4 + 0.1 / 1000) / (n * n) + 0.02 * 0.02);
    QVERIFY(std::abs(n / A - 0.302340951935) < 1e-12 && std::abs(u_rel - 0.0271233952858) < 1e-12);
    QVERIFY(std::abs(std::stod(w->pending()->value) - 0.302340951935) < 1e-12);
    QVERIFY(std::abs(std::stod(w->pending()->u) - 0.0271233952858) < 1e-12);
    QVERIFY2(f.text(w, "Label1").contains(": 0.3023409519349"), qPrintable(f.text(w, "Label1")));

    f.control<QCheckBox>(w, "CheckBox1")->setChecked(true);
    f.click(w, "Button4"); // Keep, applied
    QVERIFY(!w->pending());
    QVERIFY(!f.enabled(w, "Button4"));
    QCOMPARE(f.rows(w, "Grid1"), 1);
    QCOMPARE(f.cell(w, "Grid1", 0, 1), QString("alpha efficiency"));
    QCOMPARE(f.cell(w, "Grid1", 0, 2), QString("1"));
    QCOMPARE(f.cell(w, "Grid1", 0, 18), QString("yes"));
    const _calibration set = load_parameter_set(f.calibrations(), "Soil");
    QCOMPARE(QString::fromStdString(set.alpha), f.cell(w, "Grid1", 0, 3));
    QCOMPARE(QString::fromStdString(set.act_alpha), f.cell(w, "Grid1", 0, 4));
    QCOMPARE(set.beta, std::string("0.4"));

    if (const char* shot = std::getenv("XKV_SHOT")) w->grab().save(shot);
}

void calibration_window_test::escape_during_a_count_stops_it_at_the_instrument() {
    test::sim_process sim({"--speed", "1", "--alpha", "30"});
    windows_fixture f(sim.link_path());
    test::write_file(f.calibrations(), "[Soil]\r\nalpha=0.25\r\nbeta=0.4\r\nact_alpha=0.05\r\nact_beta=0.05\r\n"
                                       "caption=Soil\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\npreset_time=600\r\n");
    f.start_windows();
    f.find("Calibration")->trigger();
    auto* w = f.window<Tcalibration_form>();
    f.type(w, "Edit6", "600");
    f.click(w, "Button1"); // START
    QTRY_VERIFY_WITH_TIMEOUT(w->run() && w->run()->timer_on(), 20000);
    const auto counting = [&sim] {
        const auto logged = sim.commands();
        return std::find(logged.begin(), logged.end(), "G") != logged.end();
    };
    QTRY_VERIFY_WITH_TIMEOUT(counting(), 5000); // at the instrument too
    const auto before = sim.commands();
    QTest::keyClick(w, Qt::Key_Escape);
    QVERIFY(!w->isVisible());
    QVERIFY(!w->run()->timer_on());
    QTRY_VERIFY_WITH_TIMEOUT(sim.commands().size() > before.size() && sim.commands().back() == "S", 5000);
    QVERIFY(!w->pending()); // nothing computed from a count cut short
}

XKV_SHELL_TEST_MAIN(calibration_window_test)
#include "calibration_window_test.moc"
