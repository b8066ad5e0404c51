#include "ui/window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace xkv {

namespace {

// Keeps the client area a window had as it was hidden.
class last_place : public QObject {
public:
    using QObject::QObject;
    bool shown = false;
    QPoint frame;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            shown = true;
            frame = static_cast<QWidget*>(watched)->pos();
        }
        return false;
    }
};

} // namespace

void centre_on_screen(QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.x() + area.width() / 2 - size.width() / 2, area.y() + area.height() / 2 - size.height() / 2);
}

void place_on_screen(QWidget& window) {
    constexpr const char* name = "xkv_last_place";
    auto* place = static_cast<last_place*>(window.findChild<QObject*>(name, Qt::FindDirectChildrenOnly));
    if (!place) {
        place = new last_place(&window);
        place->setObjectName(name);
        window.installEventFilter(place);
    }
    if (!place->shown) {
        centre_on_screen(window);
        return;
    }
    window.move(place->frame);
}

} // namespace xkv
