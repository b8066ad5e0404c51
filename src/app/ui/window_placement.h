#pragma once
// Centring a window on its screen, in whole pixels as the dialogs have always done it.

class QWidget;

namespace xkv {

// left := screen width / 2 - window width / 2, top likewise, each half an integer quotient.
void centre_on_screen(QWidget& window);

} // namespace xkv
