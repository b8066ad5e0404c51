#pragma once
// Placing a window as it opens: centred on its screen the first time, in whole pixels as the
// dialogs have always done it, and where it was when it closed every time after.

class QWidget;

namespace xkv {

// left := screen width / 2 - window width / 2, top likewise, each half an integer quotient.
void centre_on_screen(QWidget& window);

// Centres `window` on its first opening; later openings put its client area back where it was
// when it was last hidden. The client area, not the frame: a window manager adds its frame only
// once the window is on the screen, and a place that counted the frame would move the window down
// by the title bar's height at every opening.
void place_on_screen(QWidget& window);

} // namespace xkv
