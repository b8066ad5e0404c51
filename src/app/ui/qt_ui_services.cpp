#include "app/ui/qt_ui_services.h"

#include "app/dialog_filter.h"
#include "app/ui/application_title.h"
#include "results/ui/qt_text.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace xkv {

namespace {

std::optional<std::string> run_file_dialog(QFileDialog::AcceptMode mode, const std::string& start,
                                           const std::string& filter, const std::string& extension) {
    QFileDialog dialog(QApplication::activeWindow(), QString(), qt_text(start));
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
    return dialog.selectedFiles().first().toStdString();
}

// Every box shows its text as it is: error texts carry file, database and instrument text, never HTML.
QMessageBox::StandardButton run_box(QMessageBox::Icon icon, const QString& title, const std::string& text,
                                    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                    QMessageBox::StandardButton preset = QMessageBox::NoButton,
                                    QMessageBox::StandardButton escape = QMessageBox::NoButton) {
    QMessageBox box(icon, title, qt_text(text), buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (preset != QMessageBox::NoButton) box.setDefaultButton(preset);
    if (escape != QMessageBox::NoButton) box.setEscapeButton(escape);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QString qt_name_filter(const std::string& filter) { return qt_text(dialog_name_filter(filter)); }

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

} // namespace xkv
