// The run window's QC line before START, and START refused under [QC] block=1 while QC is not current
// or when the database cannot be written.

#include "windows_fixture.h"

#include "lab/lab_store.h"
#include "lab/qc_state.h"
#include "measurement/run_engine.h"
#include "support/sim_process.h"

using namespace xkv;
using test::windows_fixture;

namespace {

struct qc_fixture : windows_fixture {
    explicit qc_fixture(const std::string& device) : windows_fixture(device) {
        test::write_file(calibrations(), "[Soil]\r\nalpha=0.5\r\nbeta=0.5\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\n");
    }
    void add_check(const char* kind, qc_verdict verdict) {
        qc_record r;
        r.kind = kind;
        r.verdict = verdict;
        r.origin = origin_now("XKV 4410 SIMULATOR");
        lab_store(*open_results_store(database())).add(r);
    }
    // Opens the run through the setup dialog; the test waits for it to be ready.
    Treal_measurment* open_run() {
        auto* setup = window<Tm_form>();
        auto* run = window<Treal_measurment>();
        find("Measurment")->trigger();
        choose(setup, "ComboBox1", "Soil");
        type(setup, "Edit1", "S1");
        type(setup, "Edit2", "filter");
        type(setup, "Edit4", "100000");
        click(setup, "Button2");
        return run;
    }
};

} // namespace

class qc_line_test : public QObject {
    Q_OBJECT
private slots:
    void the_line_shows_the_state_and_block_refuses_start();
};

void qc_line_test::the_line_shows_the_state_and_block_refuses_start() {
    test::sim_process sim;
    {
        qc_fixture f(sim.link_path());
        f.add_check(qc_kind_background, qc_verdict::pass);
        f.add_check(qc_kind_source, qc_verdict::warn);
        f.start_windows();
        Treal_measurment* run = f.open_run();
        QTRY_VERIFY(run->engine() && run->engine()->state() == run_state::ready);
        QCOMPARE(f.text(run, "label_qc_state"),
                 QString("QC current: background pass 0 h ago, source warn 0 h ago (XKV 4410 SIMULATOR)"));
        if (const char* shot = std::getenv("XKV_SHOT")) run->grab().save(shot);
        f.click(run, "Button2"); // START: QC is current
        QCOMPARE(run->engine()->state(), run_state::counting);
        f.services.answers.push_back(true);
        f.click(run, "Button3"); // ABORT
    }
    {
        qc_fixture f(sim.link_path());
        f.options().write_string("QC", "block", "1");
        f.add_check(qc_kind_background, qc_verdict::fail);
        f.start_windows();
        Treal_measurment* run = f.open_run();
        QTRY_VERIFY(run->engine() && run->engine()->state() == run_state::ready);
        QVERIFY(f.text(run, "label_qc_state").startsWith("QC NOT CURRENT: background fail 0 h ago, no source check"));
        QVERIFY(f.text(run, "label_qc_state").endsWith("; START is blocked"));
        f.click(run, "Button2");
        QCOMPARE(f.services.messages, std::vector<std::string>{qc_blocked_message});
        QCOMPARE(run->engine()->state(), run_state::ready);
        f.services.answers.push_back(true);
        f.click(run, "Button5");
    }
    {
        // SAVE could not write the database: said at START, and nothing is counted.
        qc_fixture f(sim.link_path());
        const std::string database = f.database() + ".gone/results.mdb";
        f.options().write_string("DB", "database", database);
        f.start_windows();
        Treal_measurment* run = f.open_run();
        QTRY_VERIFY(run->engine() && run->engine()->state() == run_state::ready);
        f.click(run, "Button2");
        QCOMPARE(run->engine()->state(), run_state::ready);
        QVERIFY(!f.services.warnings.empty());
        QCOMPARE(f.services.warnings.back().text, "the folder \"" + f.database() +
                                                      ".gone\" does not exist: " + "results cannot be saved to \"" +
                                                      database + "\", so nothing was started");
        f.services.answers.push_back(true);
        f.click(run, "Button5");
    }
}

XKV_SHELL_TEST_MAIN(qc_line_test)
#include "qc_line_test.moc"
