// CPU time the worker spends per second of wall time, with no dongle and with an idle,
// connected simulated ESC. Target: below 1% of one core for both.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>

#include "BenchLink.h"
#include "KVALinkCore.h"
#include "SimPort.h"

using namespace corvane;

namespace {

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

class CountingSink : public NotifySink {
public:
    void PostLinkNotify(const LinkNotice& notice) override {
        if (notice.code == LN_IDENTIFIED) {
            m_bIdentified = true;
        }
    }
    std::atomic<bool> m_bIdentified{false};
};

double Measure(sim::SimPort& port, int seconds) {
    const double cpu0 = ProcessCpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    (void)port;
    return 100.0 * cpu / wall;
}

} // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 5;

    {
        sim::SimPort port;
        port.SetReadWait(kReadWaitMs);
        port.PlugDongle(false);
        KVALinkCore link(&port);
        link.Reset();
        link.Run(true);
        std::printf("no dongle:          %.3f%% of one core over %d s\n", Measure(port, seconds),
                    seconds);
    }
    {
        sim::SimPort port;
        port.SetReadWait(kReadWaitMs);
        CountingSink sink;
        KVALinkCore link(&port);
        link.SetNotifySink(&sink);
        bench::StartIdentified(link, sink.m_bIdentified);
        std::printf("idle connected ESC: %.3f%% of one core over %d s\n", Measure(port, seconds),
                    seconds);
    }
    return 0;
}
