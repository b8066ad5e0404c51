#pragma once
// The main window: owns the program's session (current profile and program options) for the whole run,
// shows them and the connection state, and offers every other function through its menu.

#include "app/session.h"
#include "app/update_check.h"
#include "link/diagnostic_log.h"
#include "settings/options.h"
#include "settings/program_options.h"
#include "settings/ui_services.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QLabel;

namespace xkv {

class TOptionsForm;
class TViewOptionsForm;
class profile_labels;
class Tabout;

// The shell's own windows, created hidden after the main window and reused for the whole run.
struct shell_windows {
    TOptionsForm* options = nullptr;
    TViewOptionsForm* view_options = nullptr;
    Tabout* about = nullptr;
    std::function<void()> debug_console; // opens the console on the current port and speed
};

// The measurement and results windows, built beside the shell; each opens its window modally.
// A menu item stays disabled until its window is given.
struct menu_windows {
    std::function<void()> parameter_editor;  // "Measurmment parameters"
    std::function<void()> measurement_setup; // "measurment"
    std::function<void()> database_viewer;   // "View DataBase"
    std::function<void()> plateau;           // "HV plateau"
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // The creation handler: reads both default files under `program_dir`, ticks the menu, refreshes
    // labels and status (device test), runs the start-up update check when it is on, and fills
    // status panel 3.
    TMainForm(std::string program_dir, ui_services& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    void set_shell_windows(const shell_windows& windows);
    void set_menu_windows(menu_windows windows);

    // The state every window shares.
    session& state() { return session_; }

    const std::string& program_dir() const { return session_.program_dir; }
    std::string profile_path() const;         // <program dir>/ini/default.xkv
    std::string program_options_path() const; // <program dir>/ini/program_opt.xkv

    // Copies of the current records; the settings editor hands its values back whole.
    const _options& profile() const { return session_.profile; }
    void set_profile(const _options& profile) { session_.profile = profile; }
    const _program_options& program_options() const { return session_.options; }
    void set_program_options(const _program_options& options) { session_.options = options; }

    diagnostic_log& log() { return session_.log; }
    const update_notice& notice() const { return notice_; }
    // An update request has gone out and its outcome is not shown yet.
    bool update_check_pending() const { return pending_checks_ > 0; }

    // Value labels and the port and baud ticks from the current records.
    void refresh_labels();
    // Device test through a short-lived link, then the database path.
    void status_refresh();
    // Called by the settings editor whenever one of its values changes.
    void enable_save_options();

public slots:
    void NewOptionsClick();
    void EditOptionsClick();
    void ViewOptionsClick();
    void LoadOptionsClick();
    void SaveOptionsClick();
    void CheckForUpdatesClick();
    void PortClick(int port);
    void BaudRateClick(int speed);
    void TestDeviceClick();
    void DebugConsoleClick();
    void SelectDataBaseClick();
    void NewDataBaseClick();
    void AboutClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menu();
    void build_labels();
    void build_status_bar();
    void show_notice();
    // Asks the update host off the window's thread; the notice follows when the reply is back.
    void start_update_check(const char* version_path);
    void open_link(const char* path);
    QAction* add_item(QWidget* menu, const QString& caption, const char* object_name);

    session session_;
    ui_services& services_;
    update_notice notice_;
    int pending_checks_ = 0;
    shell_windows windows_;
    menu_windows menu_windows_;
    QAction* plateau_ = nullptr;

    QAction* save_options_ = nullptr;
    QAction* check_for_updates_ = nullptr;
    QAction* parameter_editor_ = nullptr;
    QAction* measurement_setup_ = nullptr;
    QAction* database_viewer_ = nullptr;
    std::array<QAction*, 4> ports_{};
    std::array<QAction*, 3> speeds_{};

    std::unique_ptr<profile_labels> labels_;
    QLabel* notice_label_ = nullptr;
    QLabel* download_site_ = nullptr;
    QLabel* download_new_version_ = nullptr;
    std::array<QLabel*, 3> panels_{};
};

} // namespace xkv
