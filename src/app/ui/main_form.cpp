#include "app/ui/main_form.h"

#include "app/store_choice.h"
#include "app/ui/about_form.h"
#include "app/ui/background_fetch.h"
#include "app/ui/link_label.h"
#include "app/ui/options_form.h"
#include "app/ui/profile_labels.h"
#include "app/ui/view_options_form.h"
#include "app/ui/xkv_application.h"
#include "lab/qc_marks.h"
#include "link/device_test.h"
#include "link/t_xkv.h"
#include "results/results_store.h"
#include "results/spool.h"
#include "results/spool_push.h"
#include "settings/errors.h"
#include "settings/settings_files.h"
#include "ui/error_box.h"
#include "ui/painting_wait.h"
#include "ui/qt_text.h"
#include "ui/remembered_layout.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>

namespace xkv {

namespace {

constexpr std::array<int, 3> baud_rates = {2400, 4800, 9600};

// A status bar panel that keeps its whole text (and shows it as a tool tip) but paints what does
// not fit as "...", so a long instrument reply never looks cut off mid-word.
class status_panel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        drawFrame(&painter);
        const QRect area = contentsRect().adjusted(4, 0, -4, 0);
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
};

} // namespace

TMainForm::~TMainForm() = default;

TMainForm::TMainForm(session& state, ui_services& services, QWidget* parent)
    : QMainWindow(parent), session_(state), services_(services) {
    setObjectName("MainForm");
    setWindowTitle("XKV 4410 SW");
    // Fixed border, minimise and close only.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    build_menu();
    build_labels();
    build_status_bar();

    // The process-wide decimal separator is "." by construction (settings/value_text.h); nothing
    // converts numbers through the C locale.
    show_notice(); // hidden until a check finds news
    setFixedSize(920, 350);
    restore_window(*this, true); // where the operator left it

    listening_ = session_.listen([this](session_change what) { hear(what); });
    check_for_updates_->setChecked(session_.options.auto_check == 1);
    refresh_labels();
    status_refresh();
    if (session_.options.auto_check == 1) start_update_check(startup_version_path);
    // Nothing else writes this panel: it keeps the start-up port and speed for the whole run.
    panels_[2]->setText(QString("COM PORT:%1 BOUDRATE:%2").arg(session_.options.port).arg(session_.options.speed));
}

QAction* TMainForm::add_item(QWidget* menu, const QString& caption, const char* object_name) {
    auto* action = new QAction(caption, this);
    action->setObjectName(object_name);
    menu->addAction(action);
    return action;
}

void TMainForm::build_menu() {
    QMenuBar* bar = menuBar();

    QMenu* options = bar->addMenu("Options");
    options->setObjectName("OptionsMenu");
    connect(add_item(options, "&New Options", "NewOptions"), &QAction::triggered, this, &TMainForm::NewOptionsClick);
    connect(add_item(options, "&Edit Options", "EditOptions"), &QAction::triggered, this, &TMainForm::EditOptionsClick);
    connect(add_item(options, "&View options", "ViewOptions"), &QAction::triggered, this, &TMainForm::ViewOptionsClick);
    connect(add_item(options, "&Load Options", "LoadOptions"), &QAction::triggered, this, &TMainForm::LoadOptionsClick);
    save_options_ = add_item(options, "&Save Options", "SaveOptions");
    save_options_->setEnabled(false);
    connect(save_options_, &QAction::triggered, this, &TMainForm::SaveOptionsClick);
    options->addSeparator();
    check_for_updates_ = add_item(options, "Check for updates", "CheckForUpdates");
    check_for_updates_->setCheckable(true);
    connect(check_for_updates_, &QAction::triggered, this, &TMainForm::CheckForUpdatesClick);

    parameter_editor_ = add_item(bar, "Measurmment parameters", "MeasurmmentParameters");
    measurement_setup_ = add_item(bar, "measurment", "Measurment");
    for (QAction* a : {parameter_editor_, measurement_setup_}) a->setEnabled(false);
    connect(parameter_editor_, &QAction::triggered, this, [this] { menu_windows_.parameter_editor(); });
    connect(measurement_setup_, &QAction::triggered, this, [this] { menu_windows_.measurement_setup(); });

    QMenu* com = bar->addMenu("COM port");
    com->setObjectName("ComPortMenu");
    QMenu* port = com->addMenu("Port");
    port->setObjectName("PortMenu");
    for (int n = 1; n <= 4; ++n) {
        const QString name = QString("COM%1").arg(n);
        QAction* a = add_item(port, name, name.toLatin1().constData());
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, n] { PortClick(n); });
        ports_[n - 1] = a;
    }
    QMenu* baud = com->addMenu("BaudRate");
    baud->setObjectName("BaudRateMenu");
    for (std::size_t i = 0; i < baud_rates.size(); ++i) {
        const int speed = baud_rates[i];
        const QString name = QString("Baud%1").arg(speed);
        QAction* a = add_item(baud, QString::number(speed), name.toLatin1().constData());
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, speed] { BaudRateClick(speed); });
        speeds_[i] = a;
    }
    connect(add_item(com, "Test Device", "TestDevice"), &QAction::triggered, this, &TMainForm::TestDeviceClick);

    QAction* debug = add_item(bar, "debug console", "DebugConsole");
    debug->setVisible(false); // reached only through the about box
    connect(debug, &QAction::triggered, this, &TMainForm::DebugConsoleClick);

    QMenu* db = bar->addMenu("DataBase");
    db->setObjectName("DataBaseMenu");
    database_viewer_ = add_item(db, "View DataBase", "ViewDataBase");
    database_viewer_->setEnabled(false);
    connect(database_viewer_, &QAction::triggered, this, [this] { menu_windows_.database_viewer(); });
    connect(add_item(db, "Select DataBase", "SelectDataBase"), &QAction::triggered, this,
            &TMainForm::SelectDataBaseClick);
    connect(add_item(db, "New DataBase", "NewDataBase"), &QAction::triggered, this, &TMainForm::NewDataBaseClick);
    db->addSeparator();
    connect(add_item(db, server_title, "SelectDataBaseServer"), &QAction::triggered, this,
            &TMainForm::SelectServerClick);
    connect(add_item(db, "Push Spooled Rows", "PushSpooledRows"), &QAction::triggered, this,
            &TMainForm::PushSpoolClick);

    plateau_ = add_item(bar, "HV plateau", "HvPlateau");
    plateau_->setEnabled(false);
    connect(plateau_, &QAction::triggered, this, [this] { menu_windows_.plateau(); });
    calibration_ = add_item(bar, "Calibration", "Calibration");
    calibration_->setEnabled(false);
    connect(calibration_, &QAction::triggered, this, [this] { menu_windows_.calibration(); });

    connect(add_item(bar, "About", "About"), &QAction::triggered, this, &TMainForm::AboutClick);
    connect(add_item(bar, "Exit", "Exit"), &QAction::triggered, this, &QWidget::close);
}

void TMainForm::build_labels() {
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);

    auto* group = new QGroupBox("Current options", central);
    group->setObjectName("CurrentOptions");
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(12);
    labels_ = std::make_unique<profile_labels>(*grid, group, true);
    row->addWidget(group);

    auto* side = new QVBoxLayout;
    auto* title = new QLabel("XKV 4410\nalpha / beta counter", central);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    title->setFont(big);
    side->addWidget(title);
    auto* version = new QLabel(program_version, central);
    version->setObjectName("version_label");
    side->addWidget(version);
    side->addStretch();
    notice_label_ = new QLabel(central);
    notice_label_->setObjectName("update_notice");
    notice_label_->setWordWrap(true);
    QFont bold = notice_label_->font();
    bold.setBold(true);
    notice_label_->setFont(bold);
    side->addWidget(notice_label_);
    auto* site = new link_label("GO TO DOWNLOAD SITE", central);
    site->setObjectName("download_site_link");
    connect(site, &link_label::clicked, this, [this] { open_link(download_site_path); });
    auto* setup = new link_label("DOWNLOAD NEW VERSION", central);
    setup->setObjectName("download_new_version_link");
    connect(setup, &link_label::clicked, this, [this] { open_link(installer_path); });
    download_site_ = site;
    download_new_version_ = setup;
    side->addWidget(site);
    side->addWidget(setup);
    row->addLayout(side, 1);

    setCentralWidget(central);
}

void TMainForm::build_status_bar() {
    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    bar->setFixedHeight(18);
    // The last panel, at least 50 wide, takes the rest of the bar.
    const int widths[] = {200, 500, 50};
    const int stretch[] = {0, 0, 1};
    const char* names[] = {"status_device", "status_database", "status_port"};
    for (int i = 0; i < 3; ++i) {
        auto* panel = new status_panel(bar);
        panel->setObjectName(names[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        if (stretch[i])
            panel->setMinimumWidth(widths[i]);
        else
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, stretch[i]);
        panels_[i] = panel;
    }
}

void TMainForm::set_shell_windows(const shell_windows& windows) { windows_ = windows; }

void TMainForm::set_menu_windows(menu_windows windows) {
    menu_windows_ = std::move(windows);
    parameter_editor_->setEnabled(static_cast<bool>(menu_windows_.parameter_editor));
    measurement_setup_->setEnabled(static_cast<bool>(menu_windows_.measurement_setup));
    database_viewer_->setEnabled(static_cast<bool>(menu_windows_.database_viewer));
    plateau_->setEnabled(static_cast<bool>(menu_windows_.plateau));
    calibration_->setEnabled(static_cast<bool>(menu_windows_.calibration));
}

void TMainForm::refresh_labels() {
    labels_->show(session_.profile);

    for (int n = 1; n <= 4; ++n) ports_[n - 1]->setChecked(session_.options.port == n);
    for (std::size_t i = 0; i < baud_rates.size(); ++i) speeds_[i]->setChecked(session_.options.speed == baud_rates[i]);
}

void TMainForm::status_refresh() {
    // The link's pauses keep the windows painting; the port is released before the panels change.
    const std::string result = run_device_test(session_.options, &session_.log, painting_wait);
    show_plain(panels_[0], result);
    show_plain_tip(panels_[0], result);
    const std::string database = database_panel_text(session_.options.database);
    show_plain(panels_[1], database);
    show_plain_tip(panels_[1], database);
}

void TMainForm::hear(session_change what) {
    switch (what) {
    case session_change::profile:
    case session_change::options: refresh_labels(); break;
    case session_change::unsaved_edit: save_options_->setEnabled(true); break;
    case session_change::saved: save_options_->setEnabled(false); break;
    case session_change::last_setup: break;
    }
}

void TMainForm::show_notice() {
    show_plain(notice_label_, notice_.text);
    notice_label_->setVisible(notice_.visible);
    download_site_->setVisible(notice_.visible);
    download_new_version_->setVisible(notice_.visible);
}

void TMainForm::start_update_check(const char* version_path) {
    ++pending_checks_;
    fetch_in_background(this, update_url(session_.options, version_path),
                        [this](const std::optional<std::string>& reply) {
                            --pending_checks_;
                            apply_version_reply(reply, program_version, session_.log, notice_);
                            show_notice();
                        });
}

void TMainForm::open_link(const char* path) {
    services_.open_with_desktop(update_url(session_.options, path)); // a browser that fails stays silent
}

void TMainForm::NewOptionsClick() {
    if (!windows_.options) return;
    windows_.options->fill_defaults();
    windows_.options->exec();
}

void TMainForm::EditOptionsClick() {
    if (!windows_.options) return;
    windows_.options->fill_from_current();
    windows_.options->exec();
}

void TMainForm::ViewOptionsClick() {
    refresh_labels();
    if (windows_.view_options) windows_.view_options->show_options();
}

void TMainForm::LoadOptionsClick() {
    const auto chosen = services_.choose_open_file("", "");
    if (!chosen) return;
    try {
        session_.profile = read_profile(*chosen);
    } catch (const file_error& e) { // a pipe or a device: the profile in use stays
        services_.show_error(e.what());
        return;
    }
    // Unsaved program options (a newly chosen database, say) give way to the file's.
    session_.reread_program_options();
    session_.changed(session_change::profile);
    session_.changed(session_change::options);
    save_options_->setEnabled(false);
}

void TMainForm::SaveOptionsClick() { save_options(session_, services_); }

void TMainForm::CheckForUpdatesClick() {
    try {
        const bool on = toggle_auto_check(session_.options, session_.program_options_path());
        check_for_updates_->setChecked(on);
        if (!on) return; // nothing is fetched; the notice keeps its state
        start_update_check(menu_version_path);
    } catch (...) {
        check_for_updates_->setChecked(session_.options.auto_check == 1); // undo the click's own tick
        throw;
    }
}

// The choice is kept and ticked first, so a failing write leaves the menu showing what is in use.
void TMainForm::PortClick(int port) {
    session_.options.port = port;
    session_.changed(session_change::options);
    write_ini_integer(session_.program_options_path(), "COM", "port", port);
}

void TMainForm::BaudRateClick(int speed) {
    session_.options.speed = speed;
    session_.changed(session_change::options);
    write_ini_integer(session_.program_options_path(), "COM", "speed", speed);
}

void TMainForm::TestDeviceClick() { status_refresh(); }

void TMainForm::DebugConsoleClick() {
    if (windows_.debug_console) windows_.debug_console();
}

void TMainForm::SelectDataBaseClick() {
    if (const auto chosen = services_.choose_open_file("", "")) {
        session_.options.database = *chosen;
        session_.changed(session_change::options);
    }
    status_refresh();
}

void TMainForm::NewDataBaseClick() {
    if (const auto chosen = services_.choose_save_file("xkv 4410 data base file", "mdb")) {
        session_.options.database = *chosen;
        session_.changed(session_change::options);
    }
    status_refresh();
}

void TMainForm::SelectServerClick() {
    const std::string& now = session_.options.database;
    const auto uri = services_.ask_text(server_prompt, server_title, is_server_location(now) ? store_shown(now) : "");
    if (!uri || uri->empty()) return;
    std::optional<std::string> refusal;
    painting_call([&] { refusal = server_refusal(*uri); });
    if (refusal) {
        services_.show_error(*refusal);
        return;
    }
    session_.options.database = *uri;
    session_.changed(session_change::options);
    status_refresh();
}

void TMainForm::PushSpoolClick() {
    push_report pushed;
    const std::string spool = spool_path(session_.program_dir), database = session_.database_path();
    const int wait_ms = session_.read_only.busy_timeout_ms;
    painting_call([&] { pushed = push_spool_report(spool, database, wait_ms, lab_carried_tables()); });
    if (pushed.stored)
        services_.show_message(pushed.text);
    else
        services_.show_error(pushed.text);
}

void TMainForm::remind_spooled_rows() {
    if (const auto reminder = spool_reminder(spool_path(session_.program_dir), session_.read_only.busy_timeout_ms))
        services_.show_message(*reminder);
}

void TMainForm::AboutClick() {
    if (windows_.about) windows_.about->exec();
}

// Both default files are written even when nothing changed. A failing write is reported and the
// other file is still written; the program ends either way.
void TMainForm::closeEvent(QCloseEvent* event) {
    const std::function<void()> writes[] = {
        [this] { write_profile(session_.profile_path(), session_.profile); },
        [this] { write_program_options(session_.program_options_path(), session_.options); },
    };
    remember_window(*this);
    for (const auto& write : writes) {
        try {
            write();
        } catch (const std::exception& e) {
            show_error_box(&services_, e.what());
        }
    }
    event->accept();
}

} // namespace xkv
