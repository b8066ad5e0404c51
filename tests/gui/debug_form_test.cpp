// The debug console window against the simulated instrument.

#include "shell_fixture.h"

#include "link/ui/debug_form.h"
#include "support/sim_process.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

using namespace xkv;
using test::shell_fixture;

namespace {

struct console_fixture : shell_fixture {
    explicit console_fixture(const std::string& device) {
        options().write_string("PORTS", "COM1", device);
        start();
        console = main->findChild<Tdebug*>();
    }
    // Opens the console from the (invisible) menu item and runs `body` inside its modal loop, once
    // the console is on the screen (its connection's waits paint, so events run before that).
    void with_console(const std::function<void()>& body) {
        auto* poll = new QTimer(console);
        poll->setInterval(5);
        QObject::connect(poll, &QTimer::timeout, console, [this, body, poll] {
            if (!console->isVisible()) return;
            poll->deleteLater();
            poll->stop();
            body();
            QTest::mouseClick(console->findChild<QPushButton*>("Button2"), Qt::LeftButton);
        });
        poll->start();
        find("DebugConsole")->trigger();
    }
    void send(const QString& text) {
        console->findChild<QLineEdit*>("Edit1")->setText(text);
        QTest::mouseClick(console->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    }
    QStringList log() const { return console->findChild<QPlainTextEdit*>("Memo1")->toPlainText().split('\n'); }

    Tdebug* console = nullptr;
};

} // namespace

class debug_form_test : public QObject {
    Q_OBJECT
private slots:
    void sends_and_lists_the_reply_lines();
    void without_an_instrument_only_the_command_is_listed();
    void the_list_survives_closing_and_each_opening_connects_anew();
};

void debug_form_test::sends_and_lists_the_reply_lines() {
    test::sim_process sim;
    console_fixture f(sim.link_path());
    QStringList lines;
    f.with_console([&] {
        QVERIFY(f.console->isVisible());
        QCOMPARE(f.console->windowTitle(), QString("debug"));
        QCOMPARE(f.console->findChild<QLineEdit*>("Edit1")->text(), QString("n"));
        f.send("n");
        f.send("");
        lines = f.log();
    });
    QVERIFY(!f.console->isVisible());
    const QStringList expected = {
        "SEND COMMAND : n",
        "RECEIVE COMMAND COUNT : 3",
        "RECEIVE COMMAND 0: XKV 4410 SIMULATOR",
        "RECEIVE COMMAND 1: SIMULATED INSTRUMENT, NO HARDWARE",
    };
    QVERIFY2(lines.size() >= 6, qPrintable(lines.join(" | ")));
    QCOMPARE(lines.mid(0, 4), expected);
    QVERIFY(lines[4].startsWith("RECEIVE COMMAND 2: MODE "));
    QCOMPARE(lines[5], QString("RECEIVE COMMAND 3: ")); // the empty remainder after the last LF
    QVERIFY(lines.contains("SEND COMMAND : "));
    // The empty text went out as a lone LF.
    const auto commands = sim.commands();
    QVERIFY(std::find(commands.begin(), commands.end(), "") != commands.end());
}

void debug_form_test::without_an_instrument_only_the_command_is_listed() {
    test::temp_dir nowhere;
    console_fixture f(nowhere.file("no-port"));
    QStringList lines;
    f.with_console([&] {
        f.send("L");
        lines = f.log();
    });
    QCOMPARE(lines, QStringList{"SEND COMMAND : L"});
    QVERIFY(f.services.warnings.empty());
    QVERIFY(f.services.messages.empty());
}

void debug_form_test::the_list_survives_closing_and_each_opening_connects_anew() {
    test::sim_process sim;
    console_fixture f(sim.link_path());
    f.with_console([&] { f.send("L"); });
    QStringList second;
    f.with_console([&] {
        f.send("L");
        second = f.log();
    });
    QCOMPARE(second.count("SEND COMMAND : L"), 2);
    // Start-up's device test, then one handshake per opening: the port was released in between.
    const auto commands = sim.commands();
    QCOMPARE(std::count(commands.begin(), commands.end(), "tarvo"), 3);
}

XKV_SHELL_TEST_MAIN(debug_form_test)
#include "debug_form_test.moc"
