#include "ui/remembered_layout.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QWidget>

#include <memory>

namespace xkv {

namespace {

// ~/.config/xkv4410/windows.conf on Linux.
std::unique_ptr<QSettings> store() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, "xkv4410", "windows");
}

} // namespace

void restore_window(QWidget& window, bool place) {
    const auto s = store();
    s->beginGroup(window.objectName());
    const QSize size = s->value("size").toSize();
    if (size.isValid() && window.minimumSize() != window.maximumSize()) window.resize(size);
    if (place && s->contains("pos")) window.move(s->value("pos").toPoint());
}

void remember_window(const QWidget& window) {
    const auto s = store();
    s->beginGroup(window.objectName());
    s->setValue("size", window.size());
    s->setValue("pos", window.pos());
}

bool restore_header(QHeaderView& header, const char* key) {
    const QByteArray state = store()->value(QString("grids/") + key).toByteArray();
    return !state.isEmpty() && header.restoreState(state);
}

void remember_header(const QHeaderView& header, const char* key) {
    store()->setValue(QString("grids/") + key, header.saveState());
}

QString last_folder_for(const std::string& kind, const QString& fallback) {
    const QString folder = store()->value("folders/" + QString::fromStdString(kind.empty() ? "any" : kind)).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : fallback;
}

void remember_folder_for(const std::string& kind, const QString& chosen_file) {
    store()->setValue("folders/" + QString::fromStdString(kind.empty() ? "any" : kind),
                      QFileInfo(chosen_file).absolutePath());
}

QString remembered_choice(const char* key) { return store()->value(key).toString(); }

void remember_choice(const char* key, const QString& value) { store()->setValue(key, value); }

} // namespace xkv
