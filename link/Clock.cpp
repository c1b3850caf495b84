#include "Clock.h"

#include <chrono>
#include <thread>

namespace corvane {

uint32_t SystemClock::Now() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(ms);
}

void SystemClock::Sleep(uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

SystemClock& SystemClock::Instance() {
    static SystemClock clock;
    return clock;
}

} // namespace corvane
