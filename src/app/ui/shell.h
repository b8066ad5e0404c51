#pragma once
// The shell's windows beside the main window: created hidden, owned by it, wired to its menu.

#include "app/session.h"
#include "settings/ui_services.h"

namespace xkv {

class TMainForm;

// Creates the settings editor, the settings view, the about box and the debug console over `state`.
void create_shell_windows(TMainForm& main, session& state, ui_services& services);

} // namespace xkv
