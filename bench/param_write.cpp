// What a verified parameter write costs: a 512-byte block written over the simulator at the
// designed pacing (50 ms read wait, 2 ms report latency), then read back as the window does
// before it calls the write done. The figure that matters is the ratio of the measured time to
// the designed pacing: every report the tool sends costs one read wait, and an acceptance
// counts only after the ESC has stayed quiet for 100 ms. The argument gives the number of
// rounds (10 by default).
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "BenchLink.h"
#include "KVALinkCore.h"
#include "ParamBlockFactory.h"
#include "ParameterDescriptor.h"
#include "SimPort.h"

using namespace corvane;
using Steady = std::chrono::steady_clock;

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.SetLatency(2);
    bench::OutcomeSink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    bench::StartIdentified(link, sink.m_bIdentified);

    ParamBlock block = MakeRealisticParamBlock();
    const auto exchange = bench::ExchangePacing(kParamFrameSize);
    double write = 0, verify = 0;
    size_t reports = 0;
    for (int i = 0; i < rounds; ++i) {
        block[9 + PARAM_DRAG_BRAKE] = static_cast<uint8_t>(i % 50);
        sink.m_nOutcome = 0;
        const size_t before = port.SentReports().size();
        link.WriteParameters(block.data(), static_cast<uint32_t>(block.size()),
                             LinkBase::kAnyEpoch);
        write += bench::AwaitOutcome(sink, exchange, Steady::now());
        if (sink.m_nOutcome != LN_WRITE_DONE) {
            std::printf("write %d failed (%d)\n", i, sink.m_nOutcome.load());
            return 1;
        }
        sink.m_nOutcome = 0;
        link.ReadParameters();
        verify += bench::AwaitOutcome(sink, exchange, Steady::now());
        if (sink.m_nOutcome != LN_READ_DONE) {
            std::printf("read-back %d failed (%d)\n", i, sink.m_nOutcome.load());
            return 1;
        }
        reports += port.SentReports().size() - before;
    }
    link.Run(false);
    // Per round: a read wait for every report sent, and the quiet watch after the acceptance.
    const double pacing = (static_cast<double>(reports) / rounds * kReadWaitMs + kLastBlockWatchMs);
    const double writeMs = 1000 * write / rounds, verifyMs = 1000 * verify / rounds;
    std::printf("parameter write: %.0f ms; read-back: %.0f ms (mean of %d); a verified write "
                "takes %.2f times as long as the write alone\n",
                writeMs, verifyMs, rounds, (write + verify) / write);
    std::printf("write and read-back: %.0f ms for %.1f reports; designed pacing %.0f ms (reports "
                "x %u ms + the %u ms quiet watch); ratio %.3f\n",
                writeMs + verifyMs, static_cast<double>(reports) / rounds, pacing, kReadWaitMs,
                kLastBlockWatchMs, (writeMs + verifyMs) / pacing);
    return 0;
}
