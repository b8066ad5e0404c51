// The main window: start-up, labels and ticks, port and speed choices, named profiles, the database
// choices and exit.

#include "shell_fixture.h"

#include "results/results_db.h"
#include "results/save_results.h"
#include "results/spool.h"
#include "support/pg_cluster.h"
#include "support/sim_process.h"
#include "ui/application_title.h"

#include <QStatusBar>

using namespace xkv;
using test::shell_fixture;

class main_form_test : public QObject {
    Q_OBJECT
private slots:
    void startup_without_files();
    void startup_against_the_simulator();
    void port_and_speed_choices_write_at_once();
    void unusual_values_leave_items_unticked();
    void save_and_load_options_round_trip();
    void cancelled_dialogs_change_nothing_but_rerun_the_device_test();
    void exit_writes_both_default_files();
    void a_failed_write_at_exit_is_reported_and_the_program_ends();
    void a_server_is_tried_before_it_is_taken_and_takes_the_spooled_rows();
};

void main_form_test::startup_without_files() {
    shell_fixture f(false); // no ini folder at all; the port and update host are the defaults
    TMainForm& main = f.start();
    QCOMPARE(main.windowTitle(), QString("XKV 4410 SW"));
    QCOMPARE(main.height(), 350);
    QCOMPARE(f.label("status_device"), QString("ERROR OPEN COM PORT"));
    QCOMPARE(f.label("status_database"), QString(" DataBase : default_database.mdb"));
    QCOMPARE(f.label("status_port"), QString("COM PORT:1 BOUDRATE:9600"));
    QCOMPARE(f.label("value_C"), QString("1"));
    QCOMPARE(f.label("value_D"), QString("0.1"));
    QCOMPARE(f.label("value_failrate2"), QString("0.01"));
    QCOMPARE(f.label("value_hv2"), QString("1000"));
    QCOMPARE(f.label("value_mode"), QString("R1,R2"));
    QCOMPARE(f.label("value_alert1"), QString("------------------"));
    QCOMPARE(f.label("version_label"), QString("VER.1.01.0000"));
    QVERIFY(f.find("COM1")->isChecked());
    QVERIFY(f.find("Baud9600")->isChecked());
    QVERIFY(f.find("CheckForUpdates")->isChecked());
    QVERIFY(!f.find("SaveOptions")->isEnabled());
    QVERIFY(!f.find("DebugConsole")->isVisible());
    QVERIFY(f.find<QLabel>("update_notice")->isHidden());
    QVERIFY(f.find<QLabel>("download_site_link")->isHidden());
    // The unreachable instrument and update host are silent.
    QVERIFY(f.services.warnings.empty());
    QVERIFY(f.services.messages.empty());
}

void main_form_test::startup_against_the_simulator() {
    test::sim_process sim;
    shell_fixture f;
    f.options().write_string("PORTS", "COM2", sim.link_path());
    f.options().write_integer("COM", "port", 2);
    f.start();
    const QString reply = f.label("status_device");
    QVERIFY2(reply != "ERROR OPEN COM PORT" && !reply.isEmpty(), qPrintable(reply));
    QCOMPARE(f.label("status_port"), QString("COM PORT:2 BOUDRATE:9600"));
    const auto commands = sim.commands();
    QVERIFY(std::find(commands.begin(), commands.end(), "n") != commands.end());
}

void main_form_test::port_and_speed_choices_write_at_once() {
    shell_fixture f;
    f.start();
    f.find("COM3")->trigger();
    for (const char* name : {"COM1", "COM2", "COM4"}) QVERIFY(!f.find(name)->isChecked());
    QVERIFY(f.find("COM3")->isChecked());
    QCOMPARE(f.options().read_integer("COM", "port", 0), 3);
    QCOMPARE(f.state->options.port, 3);

    f.find("Baud2400")->trigger();
    QVERIFY(f.find("Baud2400")->isChecked());
    QVERIFY(!f.find("Baud9600")->isChecked());
    QCOMPARE(f.options().read_integer("COM", "speed", 0), 2400);

    // Nothing reconnects now, and panel 3 keeps the start-up values.
    QCOMPARE(f.label("status_port"), QString("COM PORT:1 BOUDRATE:9600"));
    QVERIFY(!std::filesystem::exists(f.profile_path()));
}

void main_form_test::unusual_values_leave_items_unticked() {
    shell_fixture f;
    f.options().write_integer("COM", "speed", 19200);
    f.options().write_integer("COM", "port", 7);
    f.profile().write_integer("MODE", "mode", 7);
    f.start();
    for (const char* name : {"COM1", "COM2", "COM3", "COM4", "Baud2400", "Baud4800", "Baud9600"})
        QVERIFY2(!f.find(name)->isChecked(), name);
    QCOMPARE(f.label("value_mode"), QString("------------------"));
    QCOMPARE(f.label("status_port"), QString("COM PORT:7 BOUDRATE:19200"));
    QCOMPARE(f.state->options.speed, 19200);
}

void main_form_test::save_and_load_options_round_trip() {
    shell_fixture f;
    TMainForm& main = f.start();
    _options changed;
    changed.C = "2.5";
    changed.mode = 6;
    changed.dead1 = "0.000012";
    changed.alerts.a2_r2 = "77";
    changed.creator = "Dr. Ines";
    f.state->profile = changed;
    f.state->changed(session_change::unsaved_edit);

    const std::string named = f.dir.file("lab.xkv");
    f.services.files = {named};
    f.find("SaveOptions")->trigger();
    QCOMPARE(f.services.file_dialogs.back().filter, std::string("xkv 4410 sw configuration file|*.xkv"));
    QCOMPARE(f.services.file_dialogs.back().default_extension, std::string("xkv"));
    QVERIFY(read_profile(named) == changed);
    QCOMPARE(f.options().read_string("DB", "database", ""), std::string("default_database.mdb"));
    QVERIFY(!f.find("SaveOptions")->isEnabled());

    // A new database not yet saved gives way to the options file on Load.
    f.services.files = {f.dir.file("new.mdb")};
    f.find("NewDataBase")->trigger();
    QCOMPARE(f.services.file_dialogs.back().filter, std::string("xkv 4410 data base file"));
    QCOMPARE(f.services.file_dialogs.back().default_extension, std::string("mdb"));
    QCOMPARE(f.label("status_database"), QString::fromStdString(" DataBase : " + f.dir.file("new.mdb")));

    f.state->profile = _options{};
    main.refresh_labels();
    f.state->changed(session_change::unsaved_edit);
    f.services.files = {named};
    f.find("LoadOptions")->trigger();
    QVERIFY(f.state->profile == changed);
    QCOMPARE(f.state->options.database, std::string("default_database.mdb"));
    QCOMPARE(f.label("value_C"), QString("2.5"));
    QCOMPARE(f.label("value_mode"), QString("CAM"));
    QVERIFY(!f.find("SaveOptions")->isEnabled());
}

void main_form_test::cancelled_dialogs_change_nothing_but_rerun_the_device_test() {
    test::sim_process sim;
    shell_fixture f;
    f.options().write_string("PORTS", "COM1", sim.link_path());
    f.start();
    const auto device_tests = [&] {
        const auto c = sim.commands();
        return std::count(c.begin(), c.end(), "n");
    };
    QCOMPARE(device_tests(), 1);
    const _program_options before = f.state->options;

    f.find("SelectDataBase")->trigger(); // cancelled
    QCOMPARE(device_tests(), 2);
    f.find("NewDataBase")->trigger(); // cancelled
    QCOMPARE(device_tests(), 3);
    f.find("TestDevice")->trigger();
    QCOMPARE(device_tests(), 4);
    QVERIFY(f.state->options == before);

    f.state->changed(session_change::unsaved_edit);
    f.find("SaveOptions")->trigger(); // cancelled: nothing written, still enabled
    f.find("LoadOptions")->trigger(); // cancelled
    QVERIFY(f.find("SaveOptions")->isEnabled());
    QVERIFY(!std::filesystem::exists(f.profile_path()));
    QCOMPARE(f.options().read_string("DB", "database", "none"), std::string("none"));
}

void main_form_test::exit_writes_both_default_files() {
    shell_fixture f;
    TMainForm& main = f.start();
    main.show();
    f.find("Exit")->trigger();
    QVERIFY(!main.isVisible());
    QCOMPARE(f.profile().read_integer("MODE", "mode", 0), 4);
    QCOMPARE(f.profile().read_string("TEMPALTE", "creator", ""), std::string("labuser"));
    QCOMPARE(f.options().read_integer("COM", "speed", 0), 9600);
    QCOMPARE(f.options().read_string("TEMPALTE", "name", ""), std::string("templates\\report.tpl"));
    // The hand-set sections survive.
    QCOMPARE(f.options().read_string("UPDATE", "host", ""), std::string("http://127.0.0.1:9"));
    QVERIFY(f.services.warnings.empty());
}

void main_form_test::a_failed_write_at_exit_is_reported_and_the_program_ends() {
    shell_fixture f(false); // no ini folder: neither file can be written
    TMainForm& main = f.start();
    main.show();
    main.close();
    QVERIFY(!main.isVisible());
    QCOMPARE(f.services.warnings.size(), std::size_t(2));
    QCOMPARE(f.services.warnings[0].text, "Unable to write to " + f.profile_path());
    QCOMPARE(f.services.warnings[1].text, "Unable to write to " + f.options_path());
    QCOMPARE(f.services.warnings[0].caption, std::string(application_title));
}

void main_form_test::a_server_is_tried_before_it_is_taken_and_takes_the_spooled_rows() {
    test::pg_cluster server;
    server.sql("CREATE DATABASE xkv");
    shell_fixture f;
    run_table table{};
    table[0] = test::measured_row("S1");
    table[1] = test::measured_row("S2");
    spool_run(table, new_row_keys(table), spool_path(f.program_dir()));
    TMainForm& main = f.start();
    main.remind_spooled_rows();
    QCOMPARE(f.services.messages.size(), std::size_t(1));
    QVERIFY(f.services.messages[0].starts_with("2 rows wait in the spool"));

    // Nothing listens on port 1: the error is shown and the file stays the store.
    f.services.files = {"postgresql://xkv@127.0.0.1:1/xkv", server.uri("xkv")};
    f.find("SelectDataBaseServer")->trigger();
    QCOMPARE(f.services.warnings.size(), std::size_t(1));
    QVERIFY(f.services.warnings[0].text.ends_with(": the database in use is kept"));
    QCOMPARE(f.label("status_database"), QString(" DataBase : default_database.mdb"));

    f.find("SelectDataBaseServer")->trigger();
    QCOMPARE(f.services.warnings.size(), std::size_t(1));
    QCOMPARE(f.label("status_database"), QString::fromStdString(" DataBase : " + server.uri("xkv")));
    f.find("PushSpooledRows")->trigger();
    QCOMPARE(f.services.messages.back(), "2 rows stored in \"" + server.uri("xkv") + "\"");
    QCOMPARE(server.value("SELECT string_agg(sample_id, ',' ORDER BY id) FROM results", "xkv"), std::string("S1,S2"));
}

XKV_SHELL_TEST_MAIN(main_form_test)
#include "main_form_test.moc"
