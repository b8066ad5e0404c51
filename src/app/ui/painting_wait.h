#pragma once
// The desktop program's wait: the windows keep painting, user input is held back until it ends.
// Used as the run engine's injected wait.

namespace xkv {

void painting_wait(int ms);

} // namespace xkv
