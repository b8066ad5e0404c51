#pragma once
// What each operator's windows looked like last time: sizes, the main window's place, grid column
// widths and the viewer's sort. Kept per user with QSettings in the user's configuration folder
// ("xkv4410/windows.conf"), never in the program's own INI files.

class QHeaderView;
class QWidget;

namespace xkv {

// Size (and with `place`, position) of `window`, under its object name.
void restore_window(QWidget& window, bool place);
void remember_window(const QWidget& window);

// Column widths and sort indicator of a grid's header, under `key`. False when nothing was kept.
bool restore_header(QHeaderView& header, const char* key);
void remember_header(const QHeaderView& header, const char* key);

} // namespace xkv
