// The settings editor and the settings view, driven through their controls.

#include "shell_fixture.h"

#include "app/ui/options_form.h"
#include "app/ui/view_options_form.h"
#include "ui/application_title.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

using namespace xkv;
using test::run_modal;
using test::shell_fixture;

namespace {

struct editor_fixture : shell_fixture {
    editor_fixture() {
        start();
        editor = main->findChild<TOptionsForm*>();
        view = main->findChild<TViewOptionsForm*>();
    }
    QLineEdit* field(const char* name) const { return editor->findChild<QLineEdit*>(name); }
    void click(const char* button) const { QTest::mouseClick(editor->findChild<QPushButton*>(button), Qt::LeftButton); }
    // "&Edit Options" with the window kept open, so a test can work in it without the modal loop.
    void open_for_edit() {
        editor->fill_from_current();
        editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(editor));
    }

    TOptionsForm* editor = nullptr;
    TViewOptionsForm* view = nullptr;
};

} // namespace

class options_form_test : public QObject {
    Q_OBJECT
private slots:
    void edit_and_ok_without_changes_asks_nothing();
    void software_options_are_taken_without_asking();
    void a_changed_value_asks_to_save_data();
    void a_changed_value_asks_to_save();
    void new_options_fills_instrument_defaults_only();
    void a_mode_outside_the_buttons_keeps_the_last_choice();
    void timeout_field_data();
    void timeout_field();
    void a_timeout_too_large_takes_over_the_profile_only();
    void background_time_data();
    void background_time();
    void an_unparsable_background_time_takes_nothing_over();
    void leaving_the_time_field_checks_it();
    void check_template_shows_the_engine_outcome();
    void browse_names_a_template();
    void cancel_takes_nothing_and_keeps_the_flag();
    void the_view_shows_the_first_high_voltage_only();
    void windows_centre_on_the_screen();
};

void options_form_test::edit_and_ok_without_changes_asks_nothing() {
    editor_fixture f;
    run_modal(f.find("EditOptions"), f.editor, [&] { f.click("Button_OK"); });
    QVERIFY(f.services.confirmations.empty());
    QVERIFY(!f.editor->isVisible());
    QVERIFY(!f.find("SaveOptions")->isEnabled());
    QVERIFY(f.state->profile == _options{});
}

void options_form_test::software_options_are_taken_without_asking() {
    editor_fixture f;
    run_modal(f.find("EditOptions"), f.editor, [&] {
        f.field("Edit_creator")->setText("Ann Berg");
        f.field("Edit_template")->setText("templates/short.tpl");
        f.editor->findChild<QCheckBox*>("CheckBox_revert")->setChecked(true);
        f.click("Button_OK");
    });
    QVERIFY(f.services.confirmations.empty());
    QCOMPARE(f.state->profile.creator, std::string("Ann Berg"));
    QCOMPARE(f.state->options.name, std::string("templates/short.tpl"));
    QVERIFY(f.state->options.revert_channels);
    QVERIFY(!f.find("SaveOptions")->isEnabled());
}

void options_form_test::a_changed_value_asks_to_save_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes saves both files") << true;
    QTest::newRow("no saves nothing") << false;
}

void options_form_test::a_changed_value_asks_to_save() {
    QFETCH(bool, yes);
    editor_fixture f;
    const std::string named = f.dir.file("lab.xkv");
    f.services.answers = {yes};
    f.services.files = {named};
    run_modal(f.find("EditOptions"), f.editor, [&] {
        f.field("Edit_hv2")->setText("1250");
        QVERIFY(f.find("SaveOptions")->isEnabled()); // enabled as soon as a value changes
        f.editor->findChild<QRadioButton*>("Mode2")->click();
        f.click("Button_OK");
    });
    QCOMPARE(f.services.confirmations.size(), std::size_t(1));
    QCOMPARE(f.services.confirmations[0].text, std::string("Save config File ?"));
    QCOMPARE(f.services.confirmations[0].caption, std::string("Confirm"));
    QCOMPARE(f.state->profile.hv2, std::string("1250"));
    QCOMPARE(f.state->profile.mode, 2);
    QCOMPARE(f.label("value_hv2"), QString("1250"));
    QCOMPARE(f.label("value_mode"), QString("R1-R2"));
    QCOMPARE(std::filesystem::exists(named), yes);
    QCOMPARE(f.options().read_string("DB", "database", "") == "default_database.mdb", yes);
    if (yes) QCOMPARE(read_profile(named).hv2, std::string("1250"));
    QCOMPARE(f.find("SaveOptions")->isEnabled(), !yes);
}

void options_form_test::new_options_fills_instrument_defaults_only() {
    editor_fixture f;
    _options p;
    p.C = "3";
    p.alerts.a2_c1 = "5";
    p.mode = 1;
    p.creator = "Ann";
    p.background.time = "50";
    f.state->profile = p;
    f.open_for_edit();
    f.field("Edit_timeout")->setText("33");
    f.editor->hide();

    run_modal(f.find("NewOptions"), f.editor, [&] {
        QCOMPARE(f.field("Edit_C")->text(), QString("1"));
        QCOMPARE(f.field("Edit_D")->text(), QString("0.1"));
        QCOMPARE(f.field("Edit_UNIT")->text(), QString("16"));
        QCOMPARE(f.field("Edit_a2_c1")->text(), QString("10000"));
        QCOMPARE(f.field("Edit_failrate1")->text(), QString("0.01"));
        QCOMPARE(f.field("Edit_dead2")->text(), QString("0"));
        QVERIFY(f.editor->findChild<QRadioButton*>("Mode4")->isChecked());
        // What the instrument defaults do not cover stays as last shown.
        QCOMPARE(f.field("Edit_creator")->text(), QString("Ann"));
        QCOMPARE(f.field("Edit_time")->text(), QString("50"));
        QCOMPARE(f.field("Edit_timeout")->text(), QString("33"));
    });
    QVERIFY(f.editor->modified());
    QVERIFY(f.find("SaveOptions")->isEnabled());
}

void options_form_test::a_mode_outside_the_buttons_keeps_the_last_choice() {
    editor_fixture f;
    _options p;
    p.mode = 9;
    f.state->profile = p;
    run_modal(f.find("EditOptions"), f.editor, [&] { f.click("Button_OK"); });
    QCOMPARE(f.state->profile.mode, 1); // the first button, selected before any fill

    p.mode = 5;
    f.state->profile = p;
    f.open_for_edit();
    f.editor->hide();
    p.mode = 9;
    f.state->profile = p;
    run_modal(f.find("EditOptions"), f.editor, [&] { f.click("Button_OK"); });
    QCOMPARE(f.state->profile.mode, 5);
}

void options_form_test::timeout_field_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("stored");
    QTest::newRow("with unit") << "20 s" << 20;
    QTest::newRow("comma") << "2,5" << 25;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("largest") << "2147483647" << 2147483647;
}

void options_form_test::timeout_field() {
    QFETCH(QString, typed);
    QFETCH(int, stored);
    editor_fixture f;
    f.open_for_edit();
    f.field("Edit_timeout")->setText(typed);
    f.click("Button_OK");
    QCOMPARE(f.state->options.timeout, stored);
    QVERIFY(!f.editor->isVisible());
}

void options_form_test::a_timeout_too_large_takes_over_the_profile_only() {
    editor_fixture f;
    f.open_for_edit();
    f.field("Edit_C")->setText("4");
    f.field("Edit_timeout")->setText("2147483648");
    f.field("Edit_template")->setText("other.tpl");
    f.click("Button_OK");
    QCOMPARE(f.services.warnings.size(), std::size_t(1));
    QCOMPARE(f.services.warnings[0].text, std::string("'2147483648' is not a valid integer value"));
    QCOMPARE(f.services.warnings[0].caption, std::string(application_title));
    QVERIFY(f.editor->isVisible());
    QCOMPARE(f.state->profile.C, std::string("4"));
    QCOMPARE(f.label("value_C"), QString("4"));
    QVERIFY(f.state->options == read_program_options(f.options_path()));
    QVERIFY(f.services.confirmations.empty());
}

void options_form_test::background_time_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("zero") << "0"
                          << "1";
    QTest::newRow("negative") << "-5"
                              << "1";
    QTest::newRow("half") << "0.5"
                          << "0.5";
    QTest::newRow("blanks") << " 600 "
                            << " 600 ";
}

void options_form_test::background_time() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    editor_fixture f;
    f.open_for_edit();
    f.field("Edit_time")->setText(typed);
    f.click("Button_OK");
    QCOMPARE(QString::fromStdString(f.state->profile.background.time), kept);
}

void options_form_test::an_unparsable_background_time_takes_nothing_over() {
    editor_fixture f;
    f.open_for_edit();
    f.field("Edit_C")->setText("7");
    f.field("Edit_time")->setText("ten");
    f.click("Button_OK");
    QCOMPARE(f.services.warnings.size(), std::size_t(1));
    QCOMPARE(f.services.warnings[0].text, std::string("'ten' is not a valid floating point value"));
    QVERIFY(f.editor->isVisible());
    QVERIFY(f.state->profile == _options{});
}

void options_form_test::leaving_the_time_field_checks_it() {
    editor_fixture f;
    f.open_for_edit();
    f.editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.editor));
    QLineEdit* time = f.field("Edit_time");
    time->setFocus(Qt::TabFocusReason);
    time->setText("-2");
    f.field("Edit_alpha")->setFocus(Qt::TabFocusReason);
    QCOMPARE(time->text(), QString("1"));

    time->setFocus(Qt::TabFocusReason);
    time->setText("x");
    f.field("Edit_alpha")->setFocus(Qt::MouseFocusReason);
    QCOMPARE(f.services.warnings.size(), std::size_t(1));
    QCOMPARE(f.services.warnings[0].text, std::string("'x' is not a valid floating point value"));
    QVERIFY(f.editor->isVisible());
}

void options_form_test::check_template_shows_the_engine_outcome() {
    editor_fixture f;
    std::filesystem::create_directories(f.dir.file("templates"));
    test::write_file(f.dir.file("templates/report.tpl"),
                     "Report {NUMBER}\r\n{TABLE}\r\n{D.SAMP_ID}\r\n{END_TABLE}\r\n");
    test::write_file(f.dir.file("open.tpl"), "{TABLE}\n{D.ID}\n");
    f.open_for_edit();

    f.click("Button_check"); // the stored relative path, "\" read as "/"
    f.field("Edit_template")->setText(QString::fromStdString(f.dir.file("open.tpl")));
    f.click("Button_check");
    QCOMPARE(f.services.messages, (std::vector<std::string>{"OK", "{TABLE} WIHTOUT {END_TABLE}"}));

    f.field("Edit_template")->setText(QString::fromStdString(f.dir.file("missing.tpl")));
    f.click("Button_check");
    QCOMPARE(f.services.warnings.size(), std::size_t(1)); // the file error, in the error box
    QVERIFY(f.editor->isVisible());
    // Checking takes nothing over.
    QCOMPARE(f.state->options.name, std::string("templates\\report.tpl"));
}

void options_form_test::browse_names_a_template() {
    editor_fixture f;
    f.open_for_edit();
    f.services.files = {std::string("/lab/templates/new.tpl"), std::nullopt};
    f.click("Button_browse");
    QCOMPARE(f.field("Edit_template")->text(), QString("/lab/templates/new.tpl"));
    f.click("Button_browse"); // cancelled
    QCOMPARE(f.field("Edit_template")->text(), QString("/lab/templates/new.tpl"));
    QVERIFY(f.services.file_dialogs[0].save);
    QCOMPARE(f.services.file_dialogs[0].filter, std::string("template file|*.tpl"));
    QCOMPARE(f.services.file_dialogs[0].default_extension, std::string("tpl"));
    QVERIFY(!f.editor->modified());
}

void options_form_test::cancel_takes_nothing_and_keeps_the_flag() {
    editor_fixture f;
    run_modal(f.find("EditOptions"), f.editor, [&] {
        f.field("Edit_C")->setText("9");
        f.click("Button_CANCEL");
    });
    QVERIFY(f.state->profile == _options{});
    QVERIFY(f.editor->modified());
    QVERIFY(f.find("SaveOptions")->isEnabled());
    // A later "&Save Options" saves the unchanged profile.
    const std::string named = f.dir.file("same.xkv");
    f.services.files = {named};
    f.find("SaveOptions")->trigger();
    QVERIFY(read_profile(named) == _options{});
}

void options_form_test::the_view_shows_the_first_high_voltage_only() {
    editor_fixture f;
    _options p;
    p.hv1 = "1100";
    p.hv2 = "1200";
    p.failrate2 = "0.02";
    p.mode = 7;
    f.state->profile = p;
    const auto view_label = [&](const char* name) { return f.view->findChild<QLabel*>(name)->text(); };
    run_modal(f.find("ViewOptions"), f.view, [&] {
        QVERIFY(f.view->isVisible());
        QTest::mouseClick(f.view->findChild<QPushButton*>("Button_CLOSE"), Qt::LeftButton);
    });
    QVERIFY(!f.view->isVisible());
    QCOMPARE(view_label("value_hv"), QString("1100"));
    QCOMPARE(view_label("value_failrate2"), QString("0.02"));
    QCOMPARE(view_label("value_mode"), QString("------------------"));
    QCOMPARE(view_label("value_alert1"), QString("------------------"));
    QCOMPARE(f.label("value_hv2"), QString("1200")); // the main window was refreshed first

    p.mode = 2;
    f.view->set_values(p);
    QCOMPARE(view_label("value_mode"), QString("R1-R2"));
}

void options_form_test::windows_centre_on_the_screen() {
    editor_fixture f;
    for (QWidget* w : {static_cast<QWidget*>(f.editor), static_cast<QWidget*>(f.view)}) {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QRect screen = w->screen()->geometry();
        const QRect frame = w->frameGeometry();
        QCOMPARE(frame.x(), screen.x() + screen.width() / 2 - frame.width() / 2);
        QCOMPARE(frame.y(), screen.y() + screen.height() / 2 - frame.height() / 2);
        w->hide();
    }
}

XKV_SHELL_TEST_MAIN(options_form_test)
#include "options_form_test.moc"
