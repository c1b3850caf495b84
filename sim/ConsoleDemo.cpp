// Connects the link to the simulated dongle and ESC and prints every notification as it
// arrives: greeting, identity, a parameter read, one write, keep-alives, then an unplug.
#include <chrono>
#include <cstdio>
#include <thread>

#include "KVALinkCore.h"
#include "SimPort.h"

using namespace corvane;

namespace {

class PrintingSink : public NotifySink {
public:
    void PostLinkNotify(uint32_t code, uint32_t value) override {
        std::printf("notification %3u  value %3u\n", code, value);
        std::fflush(stdout);
    }
};

void Wait(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

int main() {
    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    PrintingSink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    link.Reset();
    link.Run(true);
    link.SetReportIdentity(true);

    Wait(1000);
    std::printf("ESC model %u family %u version %c%.1f\n", link.m_EscRecord.byModel,
                link.m_EscRecord.byFamily, link.m_EscRecord.byVersionLetter,
                link.m_EscRecord.byVersion / 10.0);
    std::printf("reading parameters\n");
    link.ReadParameters();
    Wait(1000);
    link.SetReportIdentity(false);
    if (link.m_EscRecord.pData) {
        link.m_EscRecord.pData[9 + 12] = 60;
        std::printf("writing brake strength 60\n");
        link.WriteParameters();
    }
    Wait(2000);
    std::printf("unplugging the dongle\n");
    port.PlugDongle(false);
    Wait(500);
    link.Run(false);
    return 0;
}
