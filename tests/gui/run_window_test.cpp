// The run window's failure roads against the simulated instrument: SAVE with no rows, CLOSE, the
// title bar, ABORT with its question, a communication failure and the report after it, a template
// that fails its checks, and a set whose K cannot be computed.

#include "windows_fixture.h"

#include "measurement/run_engine.h"
#include "support/sim_process.h"
#include "support/temp_dir.h"

#include <QTimer>

#include <memory>

using namespace xkv;
using test::windows_fixture;

namespace {

// A run window opened through the setup dialog for sample S1 of set "Soil" (or "NoK", whose D is
// empty), waiting in Ready.
struct run_fixture : windows_fixture {
    explicit run_fixture(const std::string& device) : windows_fixture(device) {
        test::write_file(calibrations(), "[Soil]\r\nalpha=0.5\r\nbeta=0.5\r\nB=1\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq\r\n"
                                         "[NoK]\r\nB=1\r\nC=1\r\nD=\r\nE=1\r\nunits=Bq\r\n");
        start_windows();
        setup = window<Tm_form>();
        run = window<Treal_measurment>();
        fill_setup();
    }
    void fill_setup() {
        find("Measurment")->trigger();
        choose(setup, "ComboBox1", "Soil");
        type(setup, "Edit1", "S1");
        type(setup, "Edit2", "filter");
        type(setup, "Edit4", "100000");
    }
    std::string buttons_on() const {
        std::string on;
        for (const char* b : {"Button1", "Button2", "Button3", "Button4", "Button5", "Button6"})
            on += enabled(run, b) ? '1' : '0';
        return on;
    }
    void open() {
        click(setup, "Button2");
        QTRY_VERIFY(run->engine() && run->engine()->state() != run_state::preparing);
    }
    void start() {
        click(run, "Button2");
        QVERIFY(run->engine()->state() == run_state::counting);
    }
    std::size_t saved_rows() {
        if (!std::filesystem::exists(database())) return 0;
        return list_results(database(), base_select()).row_count() - 1;
    }

    Tm_form* setup = nullptr;
    Treal_measurment* run = nullptr;
};

} // namespace

class run_window_test : public QObject {
    Q_OBJECT
private slots:
    void save_without_rows_and_close_with_its_question();
    void abort_asks_with_its_dash_and_leaves_without_saving();
    void the_count_goes_on_behind_a_question();
    void the_window_stays_through_the_wait_of_stop();
    void every_fixed_wait_shows_the_state_reached_with_nothing_to_press();
    void start_after_an_unsaved_series_asks_first();
    void communication_failure_keeps_start_off_through_a_report();
    void a_template_that_fails_its_checks_leaves_print_report_off();
    void a_set_without_k_closes_the_run_and_the_setup();
};

void run_window_test::save_without_rows_and_close_with_its_question() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    f.open();
    f.click(f.run, "Button4"); // SAVE
    QCOMPARE(f.services.messages, std::vector<std::string>{"No data to save !!!!"});
    QVERIFY(f.run->isVisible());
    QCOMPARE(f.saved_rows(), 0u);

    f.run->close(); // the title bar means CLOSE, with its question; Cancel keeps the window
    QTRY_COMPARE(f.services.confirmations.size(), 1u);
    QCOMPARE(f.services.confirmations[0].text, std::string("close measurment without save data !\n\rare you sure ?"));
    QVERIFY(f.services.confirmations[0].preset == default_answer::cancel); // Enter keeps the data
    QVERIFY(f.run->isVisible());
    f.services.answers.push_back(true);
    f.click(f.run, "Button5"); // CLOSE, OK
    QVERIFY(!f.run->isVisible());
    QVERIFY(!f.setup->isVisible());
    QVERIFY(!f.run->engine());

    // Opened again: nothing of the last run can be pressed until the opening has run.
    f.fill_setup();
    f.click(f.setup, "Button2");
    QVERIFY(f.run->isVisible());
    QCOMPARE(f.buttons_on(), std::string("000000"));
    QTRY_COMPARE(f.buttons_on(), std::string("010111"));
}

void run_window_test::abort_asks_with_its_dash_and_leaves_without_saving() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    f.open();
    f.start();
    f.run->close(); // counting: the title bar is refused
    // A close the title bar hands on would be a queued call; one queued after it has run once it has.
    bool queue_ran = false;
    QTimer::singleShot(0, f.run, [&queue_ran] { queue_ran = true; });
    QTRY_VERIFY(queue_ran);
    QVERIFY(f.run->isVisible());
    QVERIFY(f.services.confirmations.empty());

    f.click(f.run, "Button3"); // ABORT, Cancel: counting goes on
    QCOMPARE(f.services.confirmations.size(), 1u);
    QCOMPARE(f.services.confirmations[0].text, std::string("Abort without Save \xE2\x80\x93 Data will lost!!"));
    QVERIFY(f.services.confirmations[0].preset == default_answer::cancel); // Enter keeps the data
    QCOMPARE(f.run->engine()->state(), run_state::counting);
    f.services.answers.push_back(true);
    f.click(f.run, "Button3"); // ABORT, OK
    QVERIFY(!f.run->isVisible());
    QVERIFY(!f.setup->isVisible());
    QVERIFY(sim.wait_logged("S"));
    QCOMPARE(f.saved_rows(), 0u);
}

void run_window_test::the_count_goes_on_behind_a_question() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    f.open();
    f.start();
    QTRY_VERIFY(f.run->engine()->tick_phase() == 1); // the first time tick has been shown
    QStringList shown_behind;
    f.services.while_asking = [&] {
        const QString before = f.text(f.run, "label_measurement_time");
        QTRY_VERIFY(f.text(f.run, "label_measurement_time") != before); // read and painted behind the box
        shown_behind << before << f.text(f.run, "label_measurement_time");
    };
    f.click(f.run, "Button3"); // ABORT, Cancel
    QCOMPARE(shown_behind.size(), 2);
    QCOMPARE(f.run->engine()->state(), run_state::counting);
    QVERIFY(f.run->isVisible());
}

void run_window_test::the_window_stays_through_the_wait_of_stop() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    f.open();
    f.start();
    f.services.answers.push_back(true); // would confirm a CLOSE, were one asked
    f.during_wait = [&f](int ms) {
        if (ms != stop_wait_ms) return;
        f.run->close(); // the title bar, while STOP waits for the instrument
        QCoreApplication::processEvents();
        f.click(f.run, "Button5");
    };
    f.click(f.run, "Button1"); // STOP
    QCoreApplication::processEvents();
    QVERIFY(f.run->isVisible());
    QVERIFY(f.services.confirmations.empty());
    QCOMPARE(f.run->engine()->state(), run_state::finished);
    QCOMPARE(f.run->engine()->row_count(), 1u); // the measurement stopped early is kept
    QCOMPARE(f.rows(f.run, "Output"), 1);
    QCOMPARE(f.cell(f.run, "Output", 0, 1), QString("S1"));
}

void run_window_test::every_fixed_wait_shows_the_state_reached_with_nothing_to_press() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    std::vector<QStringList> shown; // per wait: buttons, caption and labels as on the screen
    f.during_wait = [&f, &shown](int ms) {
        shown.push_back({QString::number(ms), QString::fromStdString(f.buttons_on()), f.run->windowTitle(),
                         f.text(f.run, "label_sample_id"), f.text(f.run, "label_description"), f.text(f.run, "label_k"),
                         f.text(f.run, "label_preset_time"), f.text(f.run, "label_alpha_value")});
    };
    f.open();
    f.start();
    f.click(f.run, "Button1"); // STOP
    QCOMPARE(shown.size(), 2u);
    QCOMPARE(shown[0], (QStringList{"5000", "000000", "MEASURMENT IN PROGRESS", "Sample ID : S1",
                                    "Description : filter", "K = 1", "Preset time : 100000 s ", ""}));
    QCOMPARE(shown[1].mid(0, 4), (QStringList{"3000", "000000", "MEASURMENT IN PROGRESS", "Sample ID : S1"}));
    QVERIFY2(shown[1][7].startsWith("ALPHA : "), qPrintable(shown[1][7])); // the final values, not the count
    QCOMPARE(f.buttons_on(), std::string("010111"));                       // finished once the wait is over
}

void run_window_test::start_after_an_unsaved_series_asks_first() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    f.open();
    f.start();
    f.click(f.run, "Button1"); // STOP keeps one row
    QCOMPARE(f.run->engine()->row_count(), 1u);
    f.click(f.run, "Button2"); // START, Cancel: the row stays
    QCOMPARE(f.services.confirmations.size(), 1u);
    QCOMPARE(f.services.confirmations[0].text, std::string("start a new measurement without saving the data ?"));
    QVERIFY(f.services.confirmations[0].preset == default_answer::cancel);
    QCOMPARE(f.run->engine()->state(), run_state::finished);
    QCOMPARE(f.run->engine()->row_count(), 1u);
    f.services.answers.push_back(true);
    f.click(f.run, "Button2"); // START, OK: a new series
    QCOMPARE(f.run->engine()->state(), run_state::counting);
    QCOMPARE(f.run->engine()->row_count(), 0u);
}

void run_window_test::communication_failure_keeps_start_off_through_a_report() {
    test::sim_process sim({"--fail-after", "1"});
    run_fixture f(sim.link_path());
    f.open();
    f.start();
    QTRY_VERIFY_WITH_TIMEOUT(!f.services.warnings.empty(), 20000);
    QCOMPARE(f.services.warnings.size(), 1u);
    QCOMPARE(f.services.warnings[0].text, std::string("ERROR IN COMUNICATION"));
    QVERIFY(f.services.warnings[0].shown_as == test::scripted_ui_services::kind::error);
    QVERIFY(f.services.messages.empty());
    QCOMPARE(f.run->engine()->state(), run_state::failed);
    QVERIFY(!f.control<QTimer>(f.run, "Timer1")->isActive());
    QCOMPARE(f.buttons_on(), std::string("000111"));

    // PRINT REPORT (the save dialog cancelled) brings back the failed set, not START.
    f.click(f.run, "Button6");
    QCOMPARE(f.services.file_dialogs.size(), 1u);
    QCOMPARE(f.services.file_dialogs[0].filter, std::string("report file|*.txt"));
    QCOMPARE(f.buttons_on(), std::string("000111"));
}

void run_window_test::a_template_that_fails_its_checks_leaves_print_report_off() {
    test::sim_process sim;
    run_fixture f(sim.link_path());
    test::write_file(f.dir.file("templates/report.tpl"), "Report {NUMBER\r\n");
    f.open();
    f.click(f.run, "Button6");
    QCOMPARE(f.services.messages.size(), 1u);
    QVERIFY2(f.services.messages[0].rfind("SYNTAX ERROR AT LINE ", 0) == 0, f.services.messages[0].c_str());
    QVERIFY(f.services.file_dialogs.empty());
    QCOMPARE(f.buttons_on(), std::string("010110")); // the ready set without PRINT REPORT
}

void run_window_test::a_set_without_k_closes_the_run_and_the_setup() {
    run_fixture f(""); // no instrument: the opening does not get that far
    QVERIFY(f.enabled(f.setup, "Button2"));
    f.choose(f.setup, "ComboBox1", "NoK"); // K fails: shown, START keeps its state
    QCOMPARE(f.services.warnings.size(), 1u);
    QVERIFY(f.enabled(f.setup, "Button2"));
    f.click(f.setup, "Button2");
    QTRY_VERIFY(!f.run->isVisible());
    QVERIFY(!f.setup->isVisible());
    QCOMPARE(f.services.warnings.size(), 2u);
    QCOMPARE(f.services.warnings[1].text, std::string("'' is not a valid floating point value"));
    QVERIFY(f.waits.empty()); // no settings wait for a run that cannot start
}

XKV_SHELL_TEST_MAIN(run_window_test)
#include "run_window_test.moc"
