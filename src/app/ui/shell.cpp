#include "app/ui/shell.h"

#include "app/ui/about_form.h"
#include "app/ui/main_form.h"
#include "app/ui/options_form.h"
#include "app/ui/view_options_form.h"
#include "link/ui/debug_form.h"

namespace xkv {

void create_shell_windows(TMainForm& main, session& state, ui_services& services) {
    shell_windows windows;
    windows.options = new TOptionsForm(&main, state, services);
    windows.view_options = new TViewOptionsForm(&main, state);
    windows.about = new Tabout(&main, services);
    windows.about->set_console_opener([&main] { main.DebugConsoleClick(); });
    auto* debug = new Tdebug(&main, state);
    windows.debug_console = [debug] { debug->open_console(); };
    main.set_shell_windows(windows);
}

} // namespace xkv
