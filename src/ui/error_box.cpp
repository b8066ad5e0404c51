#include "ui/error_box.h"

#include "ui/application_title.h"

#include <cstdio>

namespace xkv {

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
