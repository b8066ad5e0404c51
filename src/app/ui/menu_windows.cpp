#include "app/ui/menu_windows.h"

#include "app/ui/main_form.h"
#include "lab/ui/calibration_form.h"
#include "lab/ui/plateau_form.h"
#include "measurement/parameter_sets.h"
#include "measurement/run_setup.h"
#include "measurement/ui/cal_form.h"
#include "measurement/ui/m_form.h"
#include "measurement/ui/real_measurment.h"
#include "results/ui/view_db.h"
#include "settings/settings_files.h"

namespace xkv {

void create_menu_windows(TMainForm& main, session& state, ui_services& services, std::function<void(int)> wait) {
    const std::string calibrations = state.file(calibration_file);
    auto* editor = new Tcal_form(&main, calibrations, services);
    auto* run = new Treal_measurment(&main, state, services, wait);
    auto* setup = new Tm_form(&main, calibrations, *run, services, state.read_only.allow_series);
    auto* viewer = new TViewDB(&main, state, services);
    auto* plateau = new Tplateau_form(&main, state, services, wait);
    auto* calibration = new Tcalibration_form(&main, state, services, wait);
    menu_windows windows;
    windows.parameter_editor = [editor] { editor->open_window(); };
    windows.measurement_setup = [setup] { setup->open_window(); };
    windows.database_viewer = [viewer] { viewer->open_window(); };
    windows.plateau = [plateau] { plateau->open_window(); };
    windows.calibration = [calibration] { calibration->open_window(); };
    main.set_menu_windows(std::move(windows));
}

} // namespace xkv
