// A 32 KiB firmware transfer (64 blocks of 512 bytes; the second argument gives another count)
// over the simulator with a realistic report latency (the first argument, 2 ms by default). The
// worker reads before it writes, and a read waits up to 50 ms when the ESC has nothing to say, so
// every report the tool sends costs about one read wait. The figure that matters is the ratio of
// the measured time to that pacing: close to 1 means no overhead of ours.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "BenchLink.h"
#include "KVALinkCore.h"
#include "SimPort.h"

using namespace corvane;

namespace {

std::string MakeFile(uint16_t blockLength, uint8_t blocks) {
    std::string file;
    auto put16 = [&](uint16_t v) {
        file.push_back(static_cast<char>(v & 0xFF));
        file.push_back(static_cast<char>(v >> 8));
    };
    put16(blockLength);
    put16(9);
    file += {8, 50, 'A', 13, static_cast<char>(blocks)};
    for (int i = 0; i < blockLength * blocks; ++i) {
        file.push_back(static_cast<char>((i * 31 + 7) & 0xFF));
    }
    return file;
}

} // namespace

int main(int argc, char** argv) {
    const uint32_t latencyMs = argc > 1 ? static_cast<uint32_t>(std::atoi(argv[1])) : 2;
    constexpr uint16_t kBlockLength = 512;
    const auto kBlocks =
        static_cast<uint8_t>(argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 255) : 64);

    sim::SimPort port;
    port.SetReadWait(kReadWaitMs);
    port.SetLatency(latencyMs);
    port.Esc([](sim::EscSimulator& e) { e.SetFirmwareBlockLength(kBlockLength); });
    bench::OutcomeSink sink;
    KVALinkCore link(&port);
    link.SetNotifySink(&sink);
    bench::StartIdentified(link, sink.m_bIdentified);

    std::istringstream file(MakeFile(kBlockLength, kBlocks));
    if (!link.LoadUpgradeFile(file)) {
        std::printf("the upgrade file did not load\n");
        return 1;
    }
    const size_t reportsBefore = port.SentReports().size();
    const auto start = std::chrono::steady_clock::now();
    link.StartFirmwareUpdate(&link.m_FirmwareRecord);
    // Each block is an exchange of its own: request, frame, acceptance.
    const double seconds =
        bench::AwaitOutcome(sink, kBlocks * bench::ExchangePacing(kBlockLength + 3 + 2), start);
    link.Run(false);

    const size_t reports = port.SentReports().size() - reportsBefore;
    const double pacing = reports * (kReadWaitMs / 1000.0);
    const auto blocks = port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); });
    std::printf("firmware: %u blocks x %u bytes, report latency %u ms, result %d\n", kBlocks,
                kBlockLength, latencyMs, sink.m_nOutcome.load());
    std::printf("blocks stored by the ESC: %zu\n", blocks);
    std::printf("reports sent: %zu (keep-alives included)\n", reports);
    std::printf("total time: %.2f s; read-wait pacing: %.2f s; ratio %.3f\n", seconds, pacing,
                seconds / pacing);
    return sink.m_nOutcome == LN_WRITE_DONE ? 0 : 1;
}
