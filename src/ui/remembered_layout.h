#pragma once
// What each operator's windows looked like last time: sizes, the main window's place, grid column
// widths, the viewer's sort, the chart's column and the folders the file dialogs used. Kept per user with QSettings in
// the user's configuration folder
// ("xkv4410/windows.conf"), never in the program's own INI files.

#include <QString>

#include <string>

class QHeaderView;
class QWidget;

namespace xkv {

// Size (and with `place`, position) of `window`, under its object name.
void restore_window(QWidget& window, bool place);
void remember_window(const QWidget& window);

// Column widths and sort indicator of a grid's header, under `key`. False when nothing was kept.
bool restore_header(QHeaderView& header, const char* key);
void remember_header(const QHeaderView& header, const char* key);

// The folder of the file last chosen in a file dialog for a kind of file (named by its default
// extension: "xls", "txt", "xkv", ...); `fallback` when none was kept or that folder is gone.
QString last_folder_for(const std::string& kind, const QString& fallback);
void remember_folder_for(const std::string& kind, const QString& chosen_file);

// A choice of a window kept under `key` ("chart/column"); empty when none was kept.
QString remembered_choice(const char* key);
void remember_choice(const char* key, const QString& value);

} // namespace xkv
