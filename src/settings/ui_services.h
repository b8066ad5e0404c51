#pragma once
// What core asks of the desktop: message boxes, confirmations, file dialogs and opening a file or web
// address with the desktop's handler. The windows pass the Qt implementation; tests pass a scripted one.

#include <optional>
#include <string>

namespace xkv {

// The answer a confirmation gives when the operator just presses Enter.
enum class default_answer {
    ok,
    cancel
};

class ui_services {
public:
    virtual ~ui_services() = default;

    // A plain message box with an OK button ("No data to save !!!!", "file saved!").
    virtual void show_message(const std::string& text) = 0;
    // A warning box with a caption ("Couldn't execute the application", "Error").
    virtual void show_warning(const std::string& text, const std::string& caption) = 0;
    // An error box titled with the application title: errors that ended an operation,
    // "ERROR IN COMUNICATION".
    virtual void show_error(const std::string& text) = 0;
    // OK/Cancel confirmation without an icon; true for OK. A question whose OK loses data
    // defaults to Cancel.
    virtual bool confirm_ok_cancel(const std::string& text, default_answer preset) = 0;
    // Yes/No confirmation with a title ("Save config File ?", "Confirm"); true for Yes.
    virtual bool confirm_yes_no(const std::string& text, const std::string& title) = 0;

    // File dialogs. `filter` is "description|*.ext"; `default_extension` is added to a name without
    // one. Nothing when the operator cancels.
    virtual std::optional<std::string> choose_open_file(const std::string& filter,
                                                        const std::string& default_extension) = 0;
    virtual std::optional<std::string> choose_save_file(const std::string& filter,
                                                        const std::string& default_extension) = 0;

    // One line of text the operator types (a server's address); nothing when cancelled.
    virtual std::optional<std::string> ask_text(const std::string& prompt, const std::string& title,
                                                const std::string& initial) = 0;

    // Opens a file or web address with the desktop's default handler; false when that failed.
    virtual bool open_with_desktop(const std::string& path_or_url) = 0;
};

} // namespace xkv
