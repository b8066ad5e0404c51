#pragma once
// One HTTP request off the window's thread: the window never waits on the network. The reply is
// handed back on the receiver's thread; a receiver gone by then (the program closed while the
// request was pending) receives nothing, and the request ends on its own time-outs.

#include <QObject>

#include <functional>
#include <optional>
#include <string>

namespace xkv {

using fetch_reply_fn = std::function<void(const std::optional<std::string>& reply)>;

void fetch_in_background(QObject* receiver, std::string url, fetch_reply_fn deliver);

} // namespace xkv
