#pragma once
// A window's push button: named (the tests and the remembered layout find it by its name), and never
// pressed by Return in an edit field (no auto-default), as every button of these windows is.

#include <QPushButton>

namespace xkv {

inline QPushButton* named_button(QWidget* parent, const char* object_name, const char* caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(object_name);
    button->setAutoDefault(false);
    return button;
}

} // namespace xkv
