#pragma once
// The desktop program's wait: the windows keep painting, user input is held back until it ends.
// Used as the run engine's injected wait.

#include <functional>

namespace xkv {

void painting_wait(int ms);

// Runs `work` on a thread of its own while the windows keep painting (user input held back), and
// gives back what it threw. For a store that may wait on the network: the store bounds that wait.
void painting_call(const std::function<void()>& work);

} // namespace xkv
