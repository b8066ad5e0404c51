#pragma once
// ui_services for tests: answers from queues, never blocks, and records every box and dialog asked for.
// An empty answer queue cancels a dialog and answers a confirmation with No/Cancel.

#include "settings/ui_services.h"
#include "ui/application_title.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace xkv::test {

class scripted_ui_services : public ui_services {
public:
    enum class kind {
        warning,
        error,
        question
    };
    struct box {
        std::string text;
        std::string caption;
        kind shown_as = kind::question;
        std::optional<default_answer> preset; // what Enter answers, for an OK/Cancel question
    };
    struct file_dialog {
        bool save;
        std::string filter;
        std::string default_extension;
    };

    std::vector<std::string> messages;
    std::vector<box> warnings; // warning and error boxes; `shown_as` tells them apart
    std::vector<box> confirmations;
    std::vector<file_dialog> file_dialogs;
    std::vector<std::string> opened;
    std::vector<std::string> asked; // prompts of texts asked for; answered from `files`

    std::deque<bool> answers;                     // next confirmations
    std::deque<std::optional<std::string>> files; // next file dialogs
    bool open_succeeds = true;
    std::function<void()> while_asking; // runs while a confirmation's box would be open

    void show_message(const std::string& text) override { messages.push_back(text); }
    void show_warning(const std::string& text, const std::string& caption) override {
        warnings.push_back({text, caption, kind::warning, {}});
    }
    void show_error(const std::string& text) override {
        warnings.push_back({text, application_title, kind::error, {}});
    }
    bool confirm_ok_cancel(const std::string& text, default_answer preset) override {
        confirmations.push_back({text, "", kind::question, preset});
        if (while_asking) while_asking();
        return next_answer();
    }
    bool confirm_yes_no(const std::string& text, const std::string& title) override {
        confirmations.push_back({text, title, kind::question, {}});
        return next_answer();
    }
    std::optional<std::string> choose_open_file(const std::string& filter, const std::string& extension) override {
        file_dialogs.push_back({false, filter, extension});
        return next_file();
    }
    std::optional<std::string> choose_save_file(const std::string& filter, const std::string& extension) override {
        file_dialogs.push_back({true, filter, extension});
        return next_file();
    }
    std::optional<std::string> ask_text(const std::string& prompt, const std::string&, const std::string&) override {
        asked.push_back(prompt);
        return next_file();
    }
    bool open_with_desktop(const std::string& path_or_url) override {
        opened.push_back(path_or_url);
        return open_succeeds;
    }

private:
    bool next_answer() {
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> next_file() {
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
};

} // namespace xkv::test
