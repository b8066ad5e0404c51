#include "app/ui/qt_ui_services.h"

#include "app/dialog_filter.h"
#include "ui/application_title.h"
#include "ui/qt_text.h"
#include "ui/remembered_layout.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

namespace xkv {

namespace {

std::optional<std::string> run_file_dialog(QFileDialog::AcceptMode mode, const std::string& start,
                                           const std::string& filter, const std::string& extension) {
    QFileDialog dialog(QApplication::activeWindow(), QString(), last_folder_for(extension, qt_text(start)));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!filter.empty()) dialog.setNameFilter(qt_name_filter(filter));
    if (!extension.empty()) dialog.setDefaultSuffix(qt_text(extension));
    // With several file types, a name typed without extension takes the chosen type's.
    if (filter.find('|') != filter.rfind('|'))
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
            const std::string ext = filter_extension(chosen.toStdString());
            if (!ext.empty()) dialog.setDefaultSuffix(QString::fromStdString(ext));
        });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().first();
    remember_folder_for(extension, chosen);
    return chosen.toStdString();
}

// Every box shows its text as it is: error texts carry file, database and instrument text, never HTML.
QMessageBox::StandardButton run_box(QMessageBox::Icon icon, const QString& title, const std::string& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton preset = QMessageBox::NoButton,
                                    QMessageBox::StandardButton escape = QMessageBox::NoButton) {
    QMessageBox box(icon, title, qt_text(text), buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    make_room_for_title(box);
    if (preset != QMessageBox::NoButton) box.setDefaultButton(preset);
    if (escape != QMessageBox::NoButton) box.setEscapeButton(escape);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QString qt_name_filter(const std::string& filter) { return qt_text(dialog_name_filter(filter)); }

void make_room_for_title(QMessageBox& box) {
    // The title bar's font is the window manager's: allow a bold one, a little larger, plus its
    // icon and three buttons of about a line's height each.
    QFont title_font = box.font();
    title_font.setBold(true);
    const QFontMetrics metrics(title_font);
    const int wanted = metrics.horizontalAdvance(box.windowTitle()) * 5 / 4 + 5 * metrics.height() + 16;
    // A message box keeps its own minimum width; a spacer across its layout widens it.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

// A plain message: no icon, as the program's messages have none.
void qt_ui_services::show_message(const std::string& text) { run_box(QMessageBox::NoIcon, application_title, text); }

void qt_ui_services::show_warning(const std::string& text, const std::string& caption) {
    run_box(QMessageBox::Warning, qt_text(caption), text);
}

void qt_ui_services::show_error(const std::string& text) { run_box(QMessageBox::Critical, application_title, text); }

bool qt_ui_services::confirm_ok_cancel(const std::string& text, default_answer preset) {
    return run_box(QMessageBox::NoIcon, "Confirm", text, QMessageBox::Ok | QMessageBox::Cancel,
                   preset == default_answer::ok ? QMessageBox::Ok : QMessageBox::Cancel,
                   QMessageBox::Cancel) == QMessageBox::Ok;
}

bool qt_ui_services::confirm_yes_no(const std::string& text, const std::string& title) {
    return run_box(QMessageBox::Question, qt_text(title), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

std::optional<std::string> qt_ui_services::choose_open_file(const std::string& filter,
                                                            const std::string& default_extension) {
    return run_file_dialog(QFileDialog::AcceptOpen, start_directory_, filter, default_extension);
}

std::optional<std::string> qt_ui_services::choose_save_file(const std::string& filter,
                                                            const std::string& default_extension) {
    return run_file_dialog(QFileDialog::AcceptSave, start_directory_, filter, default_extension);
}

bool qt_ui_services::open_with_desktop(const std::string& path_or_url) {
    const QString target = qt_text(path_or_url);
    const QUrl url = target.contains("://") || target.startsWith("mailto:")
                         ? QUrl(target)
                         : QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

std::optional<std::string> qt_ui_services::ask_text(const std::string& prompt, const std::string& title,
                                                    const std::string& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), qt_text(title), qt_text(prompt),
                                               QLineEdit::Normal, qt_text(initial), &ok);
    if (!ok) return std::nullopt;
    return std_text(text.trimmed());
}

} // namespace xkv
