#pragma once
// The measurement and results windows beside the shell: the parameter editor, the measurement setup
// with its run window, and the database viewer, created hidden, owned by the main window and
// handed to its menu.

#include "app/session.h"
#include "settings/ui_services.h"

#include <functional>

namespace xkv {

class TMainForm;

// `wait` is the run's wait; the program passes the painting wait, tests a fast one.
void create_menu_windows(TMainForm& main, session& state, ui_services& services, std::function<void(int)> wait);

} // namespace xkv
