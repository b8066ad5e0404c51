#pragma once
// The about box: a picture, the publisher's web page and e-mail address, and "CLOSE". Releasing the
// mouse over a small spot in the picture's lower right corner opens the debug console.

#include "settings/ui_services.h"

#include <QDialog>

#include <functional>

namespace xkv {

inline constexpr const char* publisher_web_page = "https://www.xkv4410.example";
inline constexpr const char* publisher_mail = "service@xkv4410.example";

class Tabout : public QDialog {
    Q_OBJECT
public:
    Tabout(QWidget* parent, ui_services& services);

    // What the hidden spot opens (the main window's debug console).
    void set_console_opener(std::function<void()> open_console) { open_console_ = std::move(open_console); }

private:
    void spot_released();

    ui_services& services_;
    std::function<void()> open_console_;
};

} // namespace xkv
