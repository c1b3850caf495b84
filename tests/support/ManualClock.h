// A clock that moves only when told: sleeping advances it, so waits finish at once and
// every time limit is exercised exactly.
#pragma once

#include <atomic>

#include "Clock.h"

namespace corvane::test {

class ManualClock : public Clock {
public:
    explicit ManualClock(uint32_t start = 1000) : m_Now(start) {}
    uint32_t Now() override { return m_Now.load(); }
    void Sleep(uint32_t ms) override { Advance(ms); }
    void Advance(uint32_t ms) { m_Now.fetch_add(ms); }
    void Set(uint32_t now) { m_Now.store(now); }

private:
    std::atomic<uint32_t> m_Now;
};

} // namespace corvane::test
