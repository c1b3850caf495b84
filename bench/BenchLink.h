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

// A benchmark whose timed event never comes has no figure to print: it says so and fails.
inline constexpr auto kNeverCame = std::chrono::seconds(20);

template <typename Done> void AwaitOrFail(Done done, const char* what) {
    const auto start = std::chrono::steady_clock::now();
    while (!done()) {
        if (std::chrono::steady_clock::now() - start > kNeverCame) {
            std::printf("%s never came\n", what);
            std::exit(1);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// `identified` is set by the benchmark's sink when it hears LN_IDENTIFIED.
inline void StartIdentified(KVALinkCore& link, const std::atomic<bool>& identified) {
    link.Reset();
    link.Run(true);
    link.SetReportIdentity(true);
    AwaitOrFail([&] { return identified.load(); }, "the ESC's identity");
    link.SetReportIdentity(false);
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

// Seconds from `start` until the sink hears the end of an exchange.
inline double
AwaitOutcome(const OutcomeSink& sink,
             std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now()) {
    AwaitOrFail([&] { return sink.m_nOutcome != 0; }, "the exchange's end");
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace corvane::bench
