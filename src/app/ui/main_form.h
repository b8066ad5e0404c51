#pragma once
// The main window: shows the session's profile, port and connection state, and offers every other
// function through its menu. The session is created before it and outlives it.

#include "app/session.h"
#include "app/update_check.h"
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
    std::function<void()> calibration;       // "Calibration"
};

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // The creation handler over a session that has read both default files: ticks the menu, refreshes
    // labels and status (device test), runs the start-up update check when it is on, and fills
    // status panel 3.
    TMainForm(session& state, ui_services& services, QWidget* parent = nullptr);
    ~TMainForm() override;

    void set_shell_windows(const shell_windows& windows);
    void set_menu_windows(menu_windows windows);

    const update_notice& notice() const { return notice_; }
    // An update request has gone out and its outcome is not shown yet.
    bool update_check_pending() const { return pending_checks_ > 0; }

    // Value labels and the port and baud ticks from the current records.
    void refresh_labels();
    // Device test through a short-lived link, then the database path.
    void status_refresh();
    // At start: says so when rows of runs that could not be stored wait in the spool.
    void remind_spooled_rows();

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
    // Beside the file choices: a server, tried once before it is taken; and the spool's push.
    void SelectServerClick();
    void PushSpoolClick();
    void AboutClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menu();
    void build_labels();
    void build_status_bar();
    void show_notice();
    void hear(session_change what);
    // Asks the update host off the window's thread; the notice follows when the reply is back.
    void start_update_check(const char* version_path);
    void open_link(const char* path);
    QAction* add_item(QWidget* menu, const QString& caption, const char* object_name);

    session& session_;
    session_listeners::subscription listening_;
    ui_services& services_;
    update_notice notice_;
    int pending_checks_ = 0;
    shell_windows windows_;
    menu_windows menu_windows_;
    QAction* plateau_ = nullptr;
    QAction* calibration_ = nullptr;

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
