#include "app/ui/xkv_application.h"

#include "app/ui/application_title.h"

#include <cstdio>
#include <exception>

namespace xkv {

xkv_application::xkv_application(int& argc, char** argv) : QApplication(argc, argv) { setApplicationName("xkv4410"); }

bool xkv_application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        show_error_box(services_, e.what());
    } catch (...) {
        show_error_box(services_, "Unknown error");
    }
    return false;
}

void show_error_box(ui_services* services, const std::string& text) {
    if (services) {
        try {
            services->show_error(text);
            return;
        } catch (...) {
            // The box itself failed: fall through to stderr rather than lose the message.
        }
    }
    std::fprintf(stderr, "%s%s\n", application_title, text.c_str());
}

} // namespace xkv
