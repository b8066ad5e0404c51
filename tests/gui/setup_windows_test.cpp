// The parameter editor and the measurement setup dialog over real files, without an instrument.

#include "windows_fixture.h"

#include "measurement/parameter_sets.h"
#include "support/temp_dir.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QRadioButton>

using namespace xkv;
using test::windows_fixture;

namespace {

// Leaving a field for another control, as the Tab key does; its check follows the focus change.
void leave(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
    QCoreApplication::processEvents();
}

constexpr const char* two_sets =
    "[Soil]\r\nalpha=0.5\r\nact_alpha=0.1\r\nbeta=0.25\r\nact_beta=0.2\r\ncaption=dried\r\nB=2\r\nB_X=0\r\n"
    "C=2\r\nC_X=0\r\nD=4\r\nE=1\r\nunits=Bq/g\r\npreset_time=60\r\n"
    "[Water]\r\nB=3\r\nC=1\r\nD=1\r\nE=1\r\nunits=Bq/l\r\n";

// The main window over a calibration file holding `sets`, with the window of `menu_item` open.
template <class W>
W* open_over(windows_fixture& f, const char* sets, const char* menu_item) {
    test::write_file(f.calibrations(), sets);
    f.start_windows();
    f.find(menu_item)->trigger();
    return f.window<W>();
}

} // namespace

class setup_windows_test : public QObject {
    Q_OBJECT
private slots:
    void editor_without_sets_shows_the_defaults_in_browse_mode();
    void editor_new_and_ok_saves_and_shows_the_first_set();
    void editor_leaving_a_field_replaces_non_positive_numbers();
    void editor_write_failure_stays_in_edit_mode();
    void editor_empty_efficiency_gives_the_focus_back_and_is_never_saved();
    void setup_fills_from_the_set_and_enables_start();
    void setup_start_checks_and_refusals();
    void setup_enter_starts_and_the_next_opening_offers_the_last_sample();
    void a_window_reopens_where_it_was();
};

void setup_windows_test::a_window_reopens_where_it_was() {
    windows_fixture f;
    auto* setup = open_over<Tm_form>(f, two_sets, "Measurment");
    QVERIFY(QTest::qWaitForWindowExposed(setup));
    setup->move(setup->pos() + QPoint(37, 23)); // the operator moves it
    const QPoint moved = setup->pos();
    setup->close();
    f.find("Measurment")->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(setup));
    QCOMPARE(setup->pos(), moved);
}

void setup_windows_test::editor_without_sets_shows_the_defaults_in_browse_mode() {
    windows_fixture f;
    auto* cal = open_over<Tcal_form>(f, "; no sets yet\r\n", "MeasurmmentParameters");
    QCOMPARE(f.control<QComboBox>(cal, "ComboBox1")->count(), 0);
    QCOMPARE(f.text(cal, "Edit_alpha"), QString("1"));
    QCOMPARE(f.text(cal, "Edit_B_Uncer"), QString("1"));
    QCOMPARE(f.text(cal, "Edit_preset_time"), QString("100"));
    QCOMPARE(f.text(cal, "Edit_C"), QString());
    for (const char* r : {"radio_B_1X", "radio_C_1X", "radio_D_1X", "radio_E_1X"})
        QVERIFY(f.control<QRadioButton>(cal, r)->isChecked());
    QVERIFY(!f.control<QRadioButton>(cal, "radio_C_X")->isChecked());
    // Browse mode: nothing to edit, NEW and EDIT offered, the list shown.
    QVERIFY(!f.enabled(cal, "Edit_alpha") && !f.enabled(cal, "Edit_name") && !f.enabled(cal, "chk_bkgnd_corr"));
    QVERIFY(!f.enabled(cal, "Button1") && f.enabled(cal, "Button3") && f.enabled(cal, "Button4"));
    QVERIFY(f.control<QComboBox>(cal, "ComboBox1")->isVisibleTo(cal));
}

void setup_windows_test::editor_new_and_ok_saves_and_shows_the_first_set() {
    windows_fixture f;
    auto* cal = open_over<Tcal_form>(f, two_sets, "MeasurmmentParameters");
    f.choose(cal, "ComboBox1", "Water");
    QCOMPARE(f.text(cal, "Edit_B"), QString("3"));

    f.click(cal, "Button3"); // NEW: a copy of Water without its name
    QVERIFY(!f.control<QComboBox>(cal, "ComboBox1")->isVisibleTo(cal));
    QCOMPARE(f.text(cal, "Edit_name"), QString());
    f.click(cal, "Button1"); // OK without a name
    QCOMPARE(f.services.messages, std::vector<std::string>{"No name entered !!!"});
    QVERIFY(f.enabled(cal, "Button1"));

    f.type(cal, "Edit_name", "Filter");
    f.type(cal, "Edit_alpha", "-1"); // saved as typed, only the display is mended
    f.control<QRadioButton>(cal, "radio_D_X")->click();
    f.control<QCheckBox>(cal, "chk_bkgnd_corr")->click();
    f.click(cal, "Button1");
    const _calibration saved = load_parameter_set(f.calibrations(), "Filter");
    QCOMPARE(saved.alpha, std::string("-1"));
    QCOMPARE(saved.factor_b, std::string("3"));
    QVERIFY(!saved.D_X && saved.C_X && saved.background_correction);
    // Back in browse mode, on the first set of the file rather than the one just saved.
    QCOMPARE(f.control<QComboBox>(cal, "ComboBox1")->currentText(), QString("Soil"));
    QCOMPARE(f.text(cal, "Edit_alpha"), QString("0.5"));
    QVERIFY(!f.enabled(cal, "Button1"));

    // EDIT keeps the name; B's 1/X, off in the file, stays off through editing and saving.
    QVERIFY(!f.control<QRadioButton>(cal, "radio_B_1X")->isChecked());
    f.click(cal, "Button4");
    QVERIFY(!f.enabled(cal, "Edit_name"));
    f.type(cal, "Edit_units", "Bq/kg");
    f.click(cal, "Button1");
    const _calibration soil = load_parameter_set(f.calibrations(), "Soil");
    QCOMPARE(soil.units, std::string("Bq/kg"));
    QVERIFY(!soil.B_X);
    QCOMPARE(parameter_set_names(f.calibrations()), (std::vector<std::string>{"Soil", "Water", "Filter"}));
}

void setup_windows_test::editor_leaving_a_field_replaces_non_positive_numbers() {
    windows_fixture f;
    auto* cal = open_over<Tcal_form>(f, two_sets, "MeasurmmentParameters");
    f.click(cal, "Button4"); // EDIT
    const struct {
        const char* field;
        const char* typed;
        const char* shown;
    } cases[] = {{"Edit_alpha", "-2", "0.0001"},
                 {"Edit_beta", "0", "0.0001"},
                 {"Edit_B", "0.3", "0.3"},
                 {"Edit_alpha", "abc", "abc"}};
    for (const auto& c : cases) {
        f.type(cal, c.field, c.typed);
        leave(f.control(cal, c.field));
        QCOMPARE(f.text(cal, c.field), QString(c.shown));
    }
    QCOMPARE(f.services.warnings.size(), 1u); // abc: the conversion error, and abc stays
    QCOMPARE(f.services.warnings[0].text, std::string("'abc' is not a valid floating point value"));
    QCOMPARE(f.services.warnings[0].caption, std::string("xkv 4410 sw control "));
}

void setup_windows_test::editor_write_failure_stays_in_edit_mode() {
    windows_fixture f;
    f.start_windows();
    std::filesystem::remove_all(f.dir.path() + "/ini"); // nowhere to write
    f.find("MeasurmmentParameters")->trigger();
    auto* cal = f.window<Tcal_form>();
    f.click(cal, "Button3");
    f.type(cal, "Edit_name", "Soil");
    f.click(cal, "Button1");
    QCOMPARE(f.services.warnings.size(), 1u);
    QVERIFY(f.services.warnings[0].text.rfind("Unable to write to ", 0) == 0);
    QVERIFY(f.enabled(cal, "Button1") && f.enabled(cal, "Edit_name"));
    QCOMPARE(f.text(cal, "Edit_name"), QString("Soil"));
}

void setup_windows_test::editor_empty_efficiency_gives_the_focus_back_and_is_never_saved() {
    windows_fixture f;
    auto* cal = open_over<Tcal_form>(f, two_sets, "MeasurmmentParameters");
    QVERIFY(QTest::qWaitForWindowActive(cal));
    f.click(cal, "Button4"); // EDIT
    auto* beta = f.control<QLineEdit>(cal, "Edit_beta");
    beta->setFocus();
    beta->clear();
    for (int ok = 1; ok <= 2; ++ok) { // the second OK is checked like the first
        f.click(cal, "Button1");
        QCoreApplication::processEvents();
        QCOMPARE(f.services.warnings.size(), static_cast<std::size_t>(ok));
        QCOMPARE(f.services.warnings.back().text, std::string("'' is not a valid floating point value"));
        QCOMPARE(QApplication::focusWidget(), beta); // typing goes where the focus is shown
        QVERIFY(f.enabled(cal, "Button1"));
    }
    QTest::keyClicks(QApplication::focusWidget(), "0.3");
    f.click(cal, "Button1");
    QCoreApplication::processEvents();
    QCOMPARE(f.services.warnings.size(), 2u);
    QCOMPARE(load_parameter_set(f.calibrations(), "Soil").beta, std::string("0.3"));
}

void setup_windows_test::setup_fills_from_the_set_and_enables_start() {
    windows_fixture f;
    auto* setup = open_over<Tm_form>(f, two_sets, "Measurment");
    QCOMPARE(f.control<QComboBox>(setup, "ComboBox1")->currentIndex(), -1);
    QCOMPARE(f.text(setup, "Edit3"), QString("1"));
    QVERIFY(!f.enabled(setup, "Edit3") && !f.enabled(setup, "Button2"));

    f.type(setup, "edit5", "7");
    f.choose(setup, "ComboBox1", "Soil"); // B used as X: the quantity keeps its text
    QCOMPARE(f.text(setup, "Edit4"), QString("60"));
    QCOMPARE(f.text(setup, "edit5"), QString("7"));
    QCOMPARE(f.text(setup, "edit6"), QString("Bq/g"));
    QCOMPARE(f.text(setup, "label_caption"), QString("dried"));
    QCOMPARE(f.text(setup, "label_alpha"), QString("ALPHA = 0.5 / 0.1"));
    QCOMPARE(f.text(setup, "label_beta"), QString("BETA  = 0.25 / 0.2"));
    QCOMPARE(f.text(setup, "label_k"), QString("K = 0.5")); // C as X, D and E as 1/X: 2 x 1/4 x 1/1
    f.choose(setup, "ComboBox1", "Water");                  // B used as 1/X: its B becomes the quantity
    QCOMPARE(f.text(setup, "edit5"), QString("3"));

    f.type(setup, "Edit1", "S1");
    QVERIFY(!f.enabled(setup, "Button2")); // the description is still empty
    f.type(setup, "Edit2", "tap water");
    QVERIFY(f.enabled(setup, "Button2"));
    f.type(setup, "edit6", "");
    QVERIFY(!f.enabled(setup, "Button2"));

    // Opening again empties what the operator typed.
    f.click(setup, "Button1");
    QVERIFY(!setup->isVisible());
    f.find("Measurment")->trigger();
    QCOMPARE(f.text(setup, "Edit1"), QString());
    QCOMPARE(f.text(setup, "Edit2"), QString());
    QVERIFY(!f.enabled(setup, "Button2"));
}

void setup_windows_test::setup_start_checks_and_refusals() {
    windows_fixture f;
    auto* setup = open_over<Tm_form>(f, two_sets, "Measurment");
    auto* run = f.window<Treal_measurment>();
    f.choose(setup, "ComboBox1", "Water");
    f.type(setup, "Edit1", "S1");
    f.type(setup, "Edit2", "tap water");
    const struct {
        const char* preset;
        const char* quantity;
        std::vector<std::string> messages;
        std::size_t errors;
    } cases[] = {
        {"0", "0", {"CAN NOT SET quantity to 0", "CAN NOT SET preset time to 0"}, 0},
        {"abc", "1", {}, 1}, // no number at all: the conversion error
    };
    for (const auto& c : cases) {
        f.services.messages.clear();
        f.services.warnings.clear();
        f.type(setup, "Edit4", c.preset);
        f.type(setup, "edit5", c.quantity);
        f.click(setup, "Button2");
        QCOMPARE(f.services.messages, c.messages);
        QCOMPARE(f.services.warnings.size(), c.errors);
        QVERIFY(!run->isVisible());
    }
}

void setup_windows_test::setup_enter_starts_and_the_next_opening_offers_the_last_sample() {
    windows_fixture f;
    f.options().write_string("MEASUREMENT", "allow_series", "1");
    auto* setup = open_over<Tm_form>(f, two_sets, "Measurment");
    auto* run = f.window<Treal_measurment>();
    QVERIFY(f.enabled(setup, "Edit3")); // the option lets the operator ask for a series
    f.choose(setup, "ComboBox1", "Water");
    f.type(setup, "Edit1", "S1");
    QTest::keyClick(f.control(setup, "Edit1"), Qt::Key_Return); // START is still off: nothing happens
    QVERIFY(!run->isVisible());
    f.type(setup, "Edit2", "tap water");
    QTest::keyClick(f.control(setup, "Edit2"), Qt::Key_Return);
    QTRY_VERIFY(run->engine() && run->engine()->state() != run_state::preparing);
    f.services.answers = {true};
    f.click(run, "Button5"); // CLOSE closes the setup dialog too
    QVERIFY(!setup->isVisible());

    f.find("Measurment")->trigger();
    auto* sample = f.control<QLineEdit>(setup, "Edit1");
    QCOMPARE(sample->text(), QString("S1"));
    QCOMPARE(sample->selectedText(), QString("S1")); // typing replaces it
    QCOMPARE(f.text(setup, "Edit2"), QString("tap water"));
    QCOMPARE(f.control<QComboBox>(setup, "ComboBox1")->currentIndex(), -1);
    for (const char* label : {"label_caption", "label_alpha", "label_beta", "label_k"})
        QCOMPARE(f.text(setup, label), QString()); // no set chosen: its group is empty
    QVERIFY(!f.enabled(setup, "Button2"));
}

XKV_SHELL_TEST_MAIN(setup_windows_test)
#include "setup_windows_test.moc"
