#pragma once
// What the widget tests of the measurement and results windows share: the shell's program directory
// and main window with the menu windows beside it, the run's waits made fast (and recorded), the
// default report template, and short ways to reach and drive the windows' controls.

#include "shell_fixture.h"

#include "app/ui/menu_windows.h"
#include "measurement/ui/cal_form.h"
#include "measurement/ui/m_form.h"
#include "measurement/ui/real_measurment.h"
#include "results/ui/view_db.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <filesystem>
#include <functional>
#include <vector>

namespace xkv::test {

struct windows_fixture : shell_fixture {
    // `device`: where COM1 leads (the simulator's link); nothing answers there by default.
    explicit windows_fixture(const std::string& device = {}) {
        if (!device.empty()) options().write_string("PORTS", "COM1", device);
        options().write_string("COM", "timeout", "3");
        std::filesystem::create_directories(dir.path() + "/templates");
        std::filesystem::copy_file(XKV_SOURCE_DIR "/templates/report.tpl", dir.path() + "/templates/report.tpl");
    }

    TMainForm& start_windows() {
        start();
        create_menu_windows(*main, *state, services, [this](int ms) {
            waits.push_back(ms);
            if (during_wait) during_wait(ms);
        });
        return *main;
    }

    std::string calibrations() const { return dir.path() + "/ini/calibrations.cfg"; }
    std::string database() const { return dir.path() + "/default_database.mdb"; }

    template <class W>
    W* window() const {
        W* w = main->findChild<W*>();
        if (!w) qFatal("window missing");
        return w;
    }
    template <class T = QWidget>
    static T* control(const QWidget* window, const char* name) {
        T* c = window->findChild<T*>(name);
        if (!c) qFatal("no control named %s", name);
        return c;
    }
    static void click(const QWidget* window, const char* button) {
        QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
    }
    static bool enabled(const QWidget* window, const char* name) { return control(window, name)->isEnabled(); }
    static void type(const QWidget* window, const char* edit, const QString& text) {
        control<QLineEdit>(window, edit)->setText(text);
    }
    static QString text(const QWidget* window, const char* name) {
        if (auto* l = window->findChild<QLabel*>(name)) return l->text();
        return control<QLineEdit>(window, name)->text();
    }
    // Chooses an entry of a selection-only list as the operator does: as an event, so an error is
    // shown by the program's error handler.
    static void choose(const QWidget* window, const char* combo, const QString& entry) {
        auto* c = control<QComboBox>(window, combo);
        const int i = c->findText(entry);
        if (i < 0) qFatal("no entry %s", qPrintable(entry));
        c->setCurrentIndex(i);
        QMetaObject::invokeMethod(
            c, [c, i] { emit c->activated(i); }, Qt::QueuedConnection);
        QCoreApplication::sendPostedEvents(c, QEvent::MetaCall);
    }
    // A grid cell as shown: row 0 is the first row under the headers.
    static QString cell(const QWidget* window, const char* grid, int row, int column) {
        const auto* model = control<QTableView>(window, grid)->model();
        return model->data(model->index(row, column)).toString();
    }
    static int rows(const QWidget* window, const char* grid) {
        return control<QTableView>(window, grid)->model()->rowCount();
    }

    std::vector<int> waits;
    std::function<void(int)> during_wait; // what happens while the run waits (the program keeps painting)
};

} // namespace xkv::test
