#include "app/ui/painting_wait.h"

#include <QEventLoop>
#include <QTimer>

namespace xkv {

void painting_wait(int ms) {
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace xkv
