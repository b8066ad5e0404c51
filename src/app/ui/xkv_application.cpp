#include "app/ui/xkv_application.h"

#include "ui/error_box.h"

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

} // namespace xkv
