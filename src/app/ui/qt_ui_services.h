#pragma once
// The desktop's ui_services: QMessageBox, QFileDialog and QDesktopServices, each box or dialog modal
// over the active window.

#include "settings/ui_services.h"

#include <QString>

class QMessageBox;

#include <string>

namespace xkv {

class qt_ui_services : public ui_services {
public:
    // File dialogs open in the folder used last for the same kind of file (its default extension),
    // kept per user; the first time, and when that folder is gone, in `start_directory` (the
    // program directory).
    explicit qt_ui_services(std::string start_directory) : start_directory_(std::move(start_directory)) {}

    void show_message(const std::string& text) override;
    void show_warning(const std::string& text, const std::string& caption) override;
    void show_error(const std::string& text) override;
    bool confirm_ok_cancel(const std::string& text, default_answer preset) override;
    bool confirm_yes_no(const std::string& text, const std::string& title) override;
    std::optional<std::string> choose_open_file(const std::string& filter,
                                                const std::string& default_extension) override;
    std::optional<std::string> choose_save_file(const std::string& filter,
                                                const std::string& default_extension) override;
    std::optional<std::string> ask_text(const std::string& prompt, const std::string& title,
                                        const std::string& initial) override;
    bool open_with_desktop(const std::string& path_or_url) override;

private:
    std::string start_directory_;
};

// Widens a message box so that a window manager's title bar shows its whole title beside its icon
// and buttons (a box is otherwise only as wide as its text).
void make_room_for_title(QMessageBox& box);

// "description|*.ext" as a Qt name filter "description (*.ext)"; a description without a pattern
// lists every file; an empty filter gives an empty text.
QString qt_name_filter(const std::string& filter);

} // namespace xkv
