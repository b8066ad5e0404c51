#include "support/virtual_clock.h"

namespace xkv::test {

void virtual_clock::wait(int ms) {
    waits_.push_back(ms);
    if (ms > 0) now_ms_ += ms;
}

std::function<void(int)> virtual_clock::waiter() {
    return [this](int ms) { wait(ms); };
}

} // namespace xkv::test
