// What verifying a parameter write costs: a 512-byte block written over the simulator at the
// designed pacing (50 ms read wait, 2 ms report latency), then read back as the window does
// before it calls the write done. Prints both times and the share the read-back adds.
#include <chrono>
#include <cstdio>
#include <thread>

#include "BenchLink.h"
#include "KVALinkCore.h"
#include "ParamBlockFactory.h"
#include "ParameterDescriptor.h"
#include "SimPort.h"

using namespace corvane;

namespace {

class Sink : public NotifySink {
public:
    void PostLinkNotify(uint32_t code, uint32_t) override {
        if (code == LN_IDENTIFIED) {
            m_bIdentified = true;
        } else if (code != LN_BLOCK_START && code != LN_BLOCK_PROGRESS) {
            m_nLast = static_cast<int>(code);
        }
    }
    std::atomic<bool> m_bIdentified{false};
    std::atomic<int> m_nLast{0};
};

// Seconds until the sink hears something other than progress.
double Await(Sink& sink) {
    const auto start = std::chrono::steady_clock::now();
    while (sink.m_nLast == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.SetLatency(2);
    Sink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    bench::StartIdentified(link, sink.m_bIdentified);

    ParamBlock block = MakeRealisticParamBlock();
    double write = 0, verify = 0;
    for (int i = 0; i < rounds; ++i) {
        block[9 + PARAM_DRAG_BRAKE] = static_cast<uint8_t>(i % 50);
        sink.m_nLast = 0;
        link.WriteParameters(block.data(), static_cast<uint32_t>(block.size()),
                             LinkBase::kAnyEpoch);
        write += Await(sink);
        if (sink.m_nLast != LN_WRITE_DONE) {
            std::printf("write %d failed (%d)\n", i, sink.m_nLast.load());
            return 1;
        }
        sink.m_nLast = 0;
        link.ReadParameters();
        verify += Await(sink);
        if (sink.m_nLast != LN_READ_DONE) {
            std::printf("read-back %d failed (%d)\n", i, sink.m_nLast.load());
            return 1;
        }
    }
    link.Run(false);
    std::printf("parameter write: %.0f ms; read-back: %.0f ms (mean of %d); a verified write "
                "takes %.2f times as long\n",
                1000 * write / rounds, 1000 * verify / rounds, rounds, (write + verify) / write);
    return 0;
}
