#pragma once
// What the shell's widget tests share: a program directory of their own, the main window built as the
// program builds it, scripted services, and a test main() running under the program's QApplication
// (so the general error handler is the one in use).

#include "app/ui/main_form.h"
#include "app/ui/shell.h"
#include "app/ui/xkv_application.h"
#include "settings/ini_file.h"
#include "settings/settings_files.h"
#include "support/scripted_ui_services.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace xkv::test {

// A program directory with an ini/ folder whose options point the port at `device` (a path where
// nothing answers unless a test puts an instrument there) and the update check at a dead host.
class shell_fixture {
public:
    explicit shell_fixture(bool with_ini = true) {
        if (auto* app = dynamic_cast<xkv_application*>(QCoreApplication::instance())) app->set_services(&services);
        if (with_ini) {
            std::filesystem::create_directories(dir.path() + "/ini");
            options().write_string("PORTS", "COM1", dir.path() + "/no-port");
            options().write_string("UPDATE", "host", "http://127.0.0.1:9");
        }
    }

    ~shell_fixture() {
        main.reset();
        state.reset();
        if (auto* app = dynamic_cast<xkv_application*>(QCoreApplication::instance())) app->set_services(nullptr);
    }
    shell_fixture(const shell_fixture&) = delete;
    shell_fixture& operator=(const shell_fixture&) = delete;

    std::string program_dir() const { return dir.path(); }
    std::string options_path() const { return dir.path() + program_options_file; }
    std::string profile_path() const { return dir.path() + default_profile_file; }
    ini_file options() const { return ini_file(options_path()); }
    ini_file profile() const { return ini_file(profile_path()); }

    // The session, the main window and its hidden windows, as the program starts them.
    TMainForm& start() {
        state = std::make_unique<session>(session::read(program_dir()));
        main = std::make_unique<TMainForm>(*state, services);
        create_shell_windows(*main, *state, services);
        return *main;
    }

    template <class T = QAction>
    T* find(const char* name) const {
        T* child = main->findChild<T*>(name);
        if (!child) qFatal("no child named %s", name);
        return child;
    }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }

    temp_dir dir;
    scripted_ui_services services;
    std::unique_ptr<session> state;
    std::unique_ptr<TMainForm> main;
};

// Runs `body` inside the modal loop that `item` opens; a dialog the body leaves open is cancelled.
inline void run_modal(QAction* item, QDialog* dialog, std::function<void()> body) {
    QTimer::singleShot(0, dialog, [dialog, body] {
        body();
        if (dialog->isVisible()) dialog->reject();
    });
    item->trigger();
}

} // namespace xkv::test

// The windows' remembered layout goes to a folder of the test's own, never the user's.
#define XKV_SHELL_TEST_MAIN(TestClass)                                                                                 \
    int main(int argc, char** argv) {                                                                                  \
        xkv::xkv_application app(argc, argv);                                                                          \
        QTemporaryDir config;                                                                                          \
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());                              \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
