// What the link benchmarks share: starting the worker over the simulator and waiting until
// the simulated ESC is identified, so what is measured starts from a connected, idle link.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "KVALinkCore.h"

namespace corvane::bench {

// `identified` is set by the benchmark's sink when it hears LN_IDENTIFIED.
inline void StartIdentified(KVALinkCore& link, const std::atomic<bool>& identified) {
    link.Reset();
    link.Run(true);
    link.SetReportIdentity(true);
    while (!identified) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    link.SetReportIdentity(false);
}

} // namespace corvane::bench
