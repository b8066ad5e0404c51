#include "app/ui/background_fetch.h"

#include "app/update_check.h"

#include <QMetaObject>

#include <memory>
#include <mutex>
#include <thread>

namespace xkv {

namespace {

// Shared by the request's thread and the receiver: cleared when the receiver is destroyed, so the
// thread never posts to an object that is gone.
struct mailbox {
    std::mutex mutex;
    QObject* receiver = nullptr;
};

} // namespace

void fetch_in_background(QObject* receiver, std::string url, fetch_reply_fn deliver) {
    auto box = std::make_shared<mailbox>();
    box->receiver = receiver;
    QObject::connect(receiver, &QObject::destroyed, [box] {
        const std::lock_guard lock(box->mutex);
        box->receiver = nullptr;
    });
    std::thread([box, url = std::move(url), deliver = std::move(deliver)]() mutable {
        std::optional<std::string> reply = http_get(url);
        const std::lock_guard lock(box->mutex);
        if (!box->receiver) return;
        // Posted while the receiver is alive; its destruction drops a post not yet delivered.
        QMetaObject::invokeMethod(
            box->receiver, [deliver = std::move(deliver), reply = std::move(reply)] { deliver(reply); },
            Qt::QueuedConnection);
    }).detach();
}

} // namespace xkv
