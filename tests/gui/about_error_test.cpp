// The about box (links, CLOSE, the hidden spot that opens the console) and the general error handler.

#include "shell_fixture.h"

#include "app/ui/about_form.h"
#include "app/ui/qt_ui_services.h"
#include "settings/errors.h"
#include "ui/application_title.h"
#include "ui/remembered_layout.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

using namespace xkv;
using test::shell_fixture;

class about_error_test : public QObject {
    Q_OBJECT
private slots:
    void about_box_links_and_close();
    void the_hidden_spot_opens_the_console();
    void an_escaping_error_is_shown_and_the_program_goes_on();
    void a_message_box_is_wide_enough_for_its_title();
    void file_dialogs_start_in_the_folder_used_last_for_that_kind();
};

void about_error_test::a_message_box_is_wide_enough_for_its_title() {
    QMessageBox box(QMessageBox::NoIcon, application_title, "No data to save !!!!", QMessageBox::Ok);
    QFont bold = box.font();
    bold.setBold(true);
    const QFontMetrics title(bold);
    const int needed = title.horizontalAdvance(application_title) + 4 * title.height(); // icon and 3 buttons
    QVERIFY2(box.sizeHint().width() < needed, "the text alone would make the box too narrow");
    make_room_for_title(box);
    QVERIFY(box.sizeHint().width() >= needed);
}

void about_error_test::file_dialogs_start_in_the_folder_used_last_for_that_kind() {
    test::temp_dir dir;
    std::filesystem::create_directories(dir.file("exports"));
    const QString fallback = QString::fromStdString(dir.path());
    QCOMPARE(last_folder_for("xls", fallback), fallback); // nothing used yet: the program directory
    remember_folder_for("xls", QString::fromStdString(dir.file("exports/listing.xls")));
    QCOMPARE(last_folder_for("xls", fallback), QString::fromStdString(dir.file("exports")));
    QCOMPARE(last_folder_for("txt", fallback), fallback); // reports have a folder of their own
    std::filesystem::remove_all(dir.file("exports"));
    QCOMPARE(last_folder_for("xls", fallback), fallback); // a folder that is gone is not offered
}

void about_error_test::about_box_links_and_close() {
    shell_fixture f;
    f.start();
    Tabout* about = f.main->findChild<Tabout*>();
    bool shown = false;
    QTimer::singleShot(0, about, [&] {
        shown = about->isVisible();
        QTest::mouseClick(about->findChild<QLabel*>("web_link"), Qt::LeftButton);
        QTest::mouseClick(about->findChild<QLabel*>("mail_link"), Qt::LeftButton);
        QTest::mouseClick(about->findChild<QPushButton*>("Button_CLOSE"), Qt::LeftButton);
    });
    f.find("About")->trigger();
    QVERIFY(shown);
    QVERIFY(!about->isVisible());
    QCOMPARE(about->windowTitle(), QString("about"));
    QCOMPARE(f.services.opened,
             (std::vector<std::string>{publisher_web_page, std::string("mailto:") + publisher_mail}));
}

void about_error_test::the_hidden_spot_opens_the_console() {
    shell_fixture f;
    f.start();
    Tabout about(nullptr, f.services);
    int opened = 0;
    about.set_console_opener([&] { ++opened; });
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QWidget* picture = about.findChild<QWidget*>("picture");
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(20, 20)); // elsewhere on the picture
    QCOMPARE(opened, 0);
    QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(picture->width() - 5, picture->height() - 5));
    QCOMPARE(opened, 1);
}

void about_error_test::an_escaping_error_is_shown_and_the_program_goes_on() {
    shell_fixture f;
    QWidget window;
    auto* failing = new QPushButton("fail", &window);
    auto* working = new QPushButton("work", &window);
    working->move(0, 40);
    int worked = 0;
    QObject::connect(failing, &QPushButton::clicked,
                     [] { throw conversion_error("'x' is not a valid integer value"); });
    QObject::connect(working, &QPushButton::clicked, [&] { ++worked; });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseClick(failing, Qt::LeftButton);
    QCOMPARE(f.services.warnings.size(), std::size_t(1));
    QCOMPARE(f.services.warnings[0].text, std::string("'x' is not a valid integer value"));
    QCOMPARE(f.services.warnings[0].caption, std::string("xkv 4410 sw control "));
    QTest::mouseClick(working, Qt::LeftButton);
    QCOMPARE(worked, 1);
}

XKV_SHELL_TEST_MAIN(about_error_test)
#include "about_error_test.moc"
