#pragma once
// The general error box: an error text in a box titled with the application title, or on stderr where
// there are no services (or the box itself failed), so the text is never lost.

#include "settings/ui_services.h"

#include <string>

namespace xkv {

void show_error_box(ui_services* services, const std::string& text);

} // namespace xkv
