#pragma once
// The desktop program's QApplication. Its notify() is the general error handler: an exception that
// escapes an event handler or a slot (a conversion error, "Unable to write to %s", a database or file
// error) is shown in an error box titled with the application title, and the event loop goes on.

#include "settings/ui_services.h"

#include <QApplication>

namespace xkv {

class xkv_application : public QApplication {
public:
    xkv_application(int& argc, char** argv);

    // Where error boxes go; without services the text goes to stderr.
    void set_services(ui_services* services) { services_ = services; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    ui_services* services_ = nullptr;
};

} // namespace xkv
