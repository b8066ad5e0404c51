#pragma once
// A clock that only moves when a wait asks it to: the run's waits of 5000, 3000 and 1000 ms pass at
// once, and the test can see which waits were asked for.

#include <cstdint>
#include <functional>
#include <vector>

namespace xkv::test {

class virtual_clock {
public:
    std::int64_t now_ms() const { return now_ms_; }
    void wait(int ms);
    // Every wait in the order asked.
    const std::vector<int>& waits() const { return waits_; }
    // A wait function to inject into the code under test.
    std::function<void(int)> waiter();

private:
    std::int64_t now_ms_ = 0;
    std::vector<int> waits_;
};

} // namespace xkv::test
