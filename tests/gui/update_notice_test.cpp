// The update check as the main window runs it: at start-up, from the "Check for updates" item, and
// the two links of the notice, against a loopback HTTP server.

#include "shell_fixture.h"

#include "app/update_check.h"
#include "support/http_server.h"

#include <QMouseEvent>

using namespace xkv;
using test::http_server;
using test::shell_fixture;

namespace {

// A fixture whose options point at `server` with the automatic check set to `auto_value`.
void use_server(shell_fixture& f, const http_server& server, int auto_value) {
    f.options().write_string("UPDATE", "host", server.host());
    f.options().write_integer("UPDATE", "auto", auto_value);
}

int requests_for(const http_server& server, const std::string& path) {
    int n = 0;
    for (const auto& r : server.requests()) n += r.path == path;
    return n;
}

} // namespace

class update_notice_test : public QObject {
    Q_OBJECT
private slots:
    void startup_check_data();
    void startup_check();
    void a_dead_host_is_silent();
    void the_program_closes_while_a_check_is_pending();
    void the_toggle_writes_and_checks_with_the_menu_path();
    void auto_two_is_off_and_the_first_click_turns_it_off_again();
    void the_links_open_the_download_pages();
};

void update_notice_test::startup_check_data() {
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("shown");
    QTest::newRow("equal with CR LF") << "VER.1.01.0000\r\n" << false;
    QTest::newRow("newer") << "VER.1.02.0000" << true;
    QTest::newRow("lower case") << "ver.1.01.0000" << true;
}

void update_notice_test::startup_check() {
    QFETCH(QString, reply);
    QFETCH(bool, shown);
    http_server server;
    server.set_answer(startup_version_path, {200, reply.toStdString(), {}});
    server.set_answer(menu_version_path, {200, "VER.9.99.9999", {}}); // must not be asked at start-up
    shell_fixture f;
    use_server(f, server, 1);
    f.start();
    QTRY_VERIFY(!f.main->update_check_pending()); // the reply comes back to the window's thread
    QCOMPARE(requests_for(server, startup_version_path), 1);
    QCOMPARE(requests_for(server, menu_version_path), 0);
    QCOMPARE(f.find<QLabel>("update_notice")->isHidden(), !shown);
    QCOMPARE(f.find<QLabel>("download_site_link")->isHidden(), !shown);
    QCOMPARE(f.find<QLabel>("download_new_version_link")->isHidden(), !shown);
    if (shown) QCOMPARE(f.label("update_notice"), "NEW VERSION AVAILABLE - " + reply + " !!!");
    QCOMPARE(f.state->log.lines().back(), reply.toStdString());
    QVERIFY(f.services.warnings.empty());
}

void update_notice_test::a_dead_host_is_silent() {
    shell_fixture f;
    f.options().write_string("UPDATE", "host", test::closed_http_host());
    f.options().write_integer("UPDATE", "auto", 1);
    f.start();
    QTRY_VERIFY(!f.main->update_check_pending());
    QVERIFY(f.find<QLabel>("update_notice")->isHidden());
    QVERIFY(f.services.warnings.empty());
    QVERIFY(f.services.messages.empty());
}

void update_notice_test::the_program_closes_while_a_check_is_pending() {
    http_server server;
    server.set_silent(true); // accepts and never answers
    shell_fixture f;
    use_server(f, server, 1);
    f.start();
    QVERIFY(f.main->update_check_pending()); // the window is up without waiting for the host
    QTRY_VERIFY(!server.requests().empty());
    f.main.reset(); // the reply, when it comes, has nowhere to go
    QCoreApplication::processEvents();
}

void update_notice_test::the_toggle_writes_and_checks_with_the_menu_path() {
    http_server server;
    server.set_answer(menu_version_path, {200, "VER.1.02.0000", {}});
    shell_fixture f;
    use_server(f, server, 0);
    f.start();
    QAction* item = f.find("CheckForUpdates");
    QVERIFY(!item->isChecked());
    QVERIFY(server.requests().empty()); // no start-up check while off

    item->trigger();
    QVERIFY(item->isChecked());
    QCOMPARE(f.options().read_integer("UPDATE", "auto", -1), 1);
    QTRY_VERIFY(!f.main->update_check_pending());
    QCOMPARE(requests_for(server, menu_version_path), 1);
    QCOMPARE(f.label("update_notice"), QString("NEW VERSION AVAILABLE - VER.1.02.0000 !!!"));
    QVERIFY(!f.find<QLabel>("update_notice")->isHidden());

    item->trigger();
    QVERIFY(!item->isChecked());
    QCOMPARE(f.options().read_integer("UPDATE", "auto", -1), 0);
    QCOMPARE(server.requests().size(), std::size_t(1));    // nothing fetched when switching off
    QVERIFY(!f.find<QLabel>("update_notice")->isHidden()); // and the notice keeps its state
}

void update_notice_test::auto_two_is_off_and_the_first_click_turns_it_off_again() {
    http_server server;
    server.set_answer(menu_version_path, {200, "VER.1.01.0000", {}});
    shell_fixture f;
    use_server(f, server, 2);
    f.start();
    QAction* item = f.find("CheckForUpdates");
    QVERIFY(!item->isChecked());
    item->trigger();
    QVERIFY(!item->isChecked());
    QCOMPARE(f.options().read_integer("UPDATE", "auto", -1), 0);
    QVERIFY(server.requests().empty());
    item->trigger();
    QVERIFY(item->isChecked());
    QCOMPARE(f.options().read_integer("UPDATE", "auto", -1), 1);
    QTRY_VERIFY(!f.main->update_check_pending());
    QCOMPARE(requests_for(server, menu_version_path), 1);
    QVERIFY(f.find<QLabel>("update_notice")->isHidden()); // the same version: nothing to show
}

void update_notice_test::the_links_open_the_download_pages() {
    http_server server;
    server.set_answer(startup_version_path, {200, "VER.2.00.0000", {}});
    shell_fixture f;
    use_server(f, server, 1);
    f.start();
    QTRY_VERIFY(!f.main->update_check_pending());
    f.main->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.main.get()));
    QTest::mouseClick(f.find<QLabel>("download_site_link"), Qt::LeftButton);
    QTest::mouseClick(f.find<QLabel>("download_new_version_link"), Qt::LeftButton);
    QCOMPARE(f.services.opened.size(), std::size_t(2));
    QCOMPARE(f.services.opened[0], server.host() + "/xkv-4410/");
    QCOMPARE(f.services.opened[1], server.host() + "/xkv-4410/setup.exe");
}

XKV_SHELL_TEST_MAIN(update_notice_test)
#include "update_notice_test.moc"
