#include "ui/painting_wait.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <future>

namespace xkv {

void painting_wait(int ms) {
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void painting_call(const std::function<void()>& work) {
    std::future<void> done = std::async(std::launch::async, work);
    while (done.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) painting_wait(15);
    done.get();
}

} // namespace xkv
