// What the link benchmarks share: starting the worker over the simulator and waiting until
// the simulated ESC is identified, so what is measured starts from a connected, idle link; and
// waiting for an exchange to end.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "KVALinkCore.h"

namespace corvane::bench {

using Millis = std::chrono::milliseconds;

// A benchmark whose timed event never comes has no figure to print: it says so and fails. How
// long it may take follows from what it times: this many times its designed pacing, plus a
// margin for a busy machine, so that no correct run, however long, is cut short.
inline constexpr int kPacingMultiple = 5;
inline constexpr Millis kBusyMargin{5000};

constexpr Millis NeverCameAfter(Millis designedPacing) {
    return designedPacing * kPacingMultiple + kBusyMargin;
}

// The designed pacing of an exchange whose frame is `frameBytes` long: the worker reads
// (waiting up to 50 ms) before each report it sends, a report carries 63 bytes, and a request,
// its answer and the quiet watch after an acceptance add a few passes more.
constexpr Millis ExchangePacing(uint32_t frameBytes) {
    return Millis{(frameBytes + 62) / 63 + 4} * kReadWaitMs + Millis{kLastBlockWatchMs};
}

template <typename Done> void AwaitOrFail(Done done, const char* what, Millis limit) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (std::chrono::steady_clock::now() - start > limit) {
            std::printf("%s never came (waited %lld ms)\n", what,
                        static_cast<long long>(limit.count()));
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// `identified` is set by the benchmark's sink when it hears LN_IDENTIFIED: a greeting and an
// identity, a few exchanges of a few bytes.
inline void StartIdentified(KVALinkCore& link, const std::atomic<bool>& identified) {
    link.Reset();
    link.Run(true);
    link.WantIdentity(true);
    AwaitOrFail([&] { return identified.load(); }, "the ESC's identity",
                NeverCameAfter(4 * ExchangePacing(16)));
    link.WantIdentity(false);
}

// Hears the identity and the end of each exchange: done, failed, or the link lost.
class OutcomeSink : public NotifySink {
public:
    void PostLinkNotify(const LinkNotice& notice) override {
        switch (const uint32_t code = notice.code) {
        case LN_IDENTIFIED:
            m_bIdentified = true;
            break;
        case LN_WRITE_DONE:
        case LN_WRITE_FAILED:
        case LN_READ_DONE:
        case LN_READ_FAILED:
        case LN_LINK_LOST:
            m_nOutcome = static_cast<int>(code);
            break;
        default:
            break;
        }
    }
    std::atomic<bool> m_bIdentified{false};
    // The last exchange's end; 0 until one is heard.
    std::atomic<int> m_nOutcome{0};
};

// Seconds from `start` until the sink hears the end of an exchange designed to take `pacing`.
inline double AwaitOutcome(const OutcomeSink& sink, Millis pacing,
                           std::chrono::steady_clock::time_point start) {
    AwaitOrFail([&] { return sink.m_nOutcome != 0; }, "the exchange's end", NeverCameAfter(pacing));
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace corvane::bench
