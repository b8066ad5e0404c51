#pragma once
// A t_xkv on "COM1" wired to an in-process pty peer, handshake done and the wire record cleared.

#include "link/t_xkv.h"
#include "support/pty_peer.h"

#include <memory>

namespace xkv::test {

inline std::unique_ptr<t_xkv> connect(pty_peer& peer, bool answer_handshake = true, diagnostic_log* log = nullptr) {
    if (answer_handshake) peer.answer("tarvo", "DEBUGMODE\r\n", 50, 1);
    auto link = std::make_unique<t_xkv>(1, 9600, peer.port_devices(1), log);
    peer.received(6);
    peer.clear_received();
    return link;
}

} // namespace xkv::test
