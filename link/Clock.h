// The link's sense of time: a 32-bit millisecond tick that wraps, and a sleep.
// Tests inject a manual clock and move it instead of sleeping.
#pragma once

#include <cstdint>

namespace corvane {

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t Now() = 0;
    virtual void Sleep(uint32_t ms) = 0;
};

// Monotonic milliseconds truncated to 32 bits, and a real sleep.
class SystemClock : public Clock {
public:
    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    static SystemClock& Instance();
};

} // namespace corvane
