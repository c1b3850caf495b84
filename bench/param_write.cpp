// What verifying a parameter write costs: a 512-byte block written over the simulator at the
// designed pacing (50 ms read wait, 2 ms report latency), then read back as the window does
// before it calls the write done. Prints both times and the share the read-back adds.
#include <cstdio>
#include <cstdlib>

#include "BenchLink.h"
#include "KVALinkCore.h"
#include "ParamBlockFactory.h"
#include "ParameterDescriptor.h"
#include "SimPort.h"

using namespace corvane;

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.SetLatency(2);
    bench::OutcomeSink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    bench::StartIdentified(link, sink.m_bIdentified);

    ParamBlock block = MakeRealisticParamBlock();
    double write = 0, verify = 0;
    for (int i = 0; i < rounds; ++i) {
        block[9 + PARAM_DRAG_BRAKE] = static_cast<uint8_t>(i % 50);
        sink.m_nOutcome = 0;
        link.WriteParameters(block.data(), static_cast<uint32_t>(block.size()),
                             LinkBase::kAnyEpoch);
        write += bench::AwaitOutcome(sink);
        if (sink.m_nOutcome != LN_WRITE_DONE) {
            std::printf("write %d failed (%d)\n", i, sink.m_nOutcome.load());
            return 1;
        }
        sink.m_nOutcome = 0;
        link.ReadParameters();
        verify += bench::AwaitOutcome(sink);
        if (sink.m_nOutcome != LN_READ_DONE) {
            std::printf("read-back %d failed (%d)\n", i, sink.m_nOutcome.load());
            return 1;
        }
    }
    link.Run(false);
    std::printf("parameter write: %.0f ms; read-back: %.0f ms (mean of %d); a verified write "
                "takes %.2f times as long\n",
                1000 * write / rounds, 1000 * verify / rounds, rounds, (write + verify) / write);
    return 0;
}
