// The desktop program: the session reads the settings, then the main window (its creation handler
// tests the instrument and checks for updates), then the other windows, hidden; the message loop runs
// until the main window closes, which writes both default files.

#include "app/ui/main_form.h"
#include "app/ui/menu_windows.h"
#include "app/ui/qt_ui_services.h"
#include "app/ui/shell.h"
#include "app/ui/xkv_application.h"
#include "settings/program_dir.h"
#include "ui/error_box.h"
#include "ui/painting_wait.h"

#include <QIcon>

#include <exception>

int main(int argc, char** argv) {
    xkv::xkv_application app(argc, argv);
    app.setWindowIcon(QIcon(":/xkv4410.svg"));
    const std::string program_dir = xkv::program_directory(xkv::executable_directory());
    xkv::qt_ui_services services(program_dir);
    app.set_services(&services);
    try {
        xkv::session state = xkv::session::read(program_dir);
        xkv::TMainForm main_form(state, services);
        xkv::create_shell_windows(main_form, state, services);
        xkv::create_menu_windows(main_form, state, services, xkv::painting_wait);
        main_form.show();
        main_form.remind_spooled_rows();
        return app.exec();
    } catch (const std::exception& e) {
        xkv::show_error_box(&services, e.what());
        return 1;
    }
}
