// A simulated dongle with an ESC behind it, standing in for the HID port in tests, benchmarks
// and the demo. Reports are built and taken apart exactly as the dongle's: output reports
// [1 or 3, n, n bytes, zeros] of the output report length, input reports [2, n, n bytes].
//
// Thread-safe: the worker calls Open/Close/Read/Write while a test or the window turns the
// knobs; one mutex guards the dongle and the ESC.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "Clock.h"
#include "EscSimulator.h"
#include "PortBase.h"

namespace corvane::sim {

class SimPort : public PortBase {
public:
    static constexpr int kReportLength = 64;

    explicit SimPort(Clock* clock = &SystemClock::Instance());

    bool Open() override;
    bool Close() override;
    int Write(const uint8_t* bytes, int count) override;
    int Read(uint8_t* buffer, int capacity) override;
    bool HoldsDevice() const override;
    bool CloseFailed(uint32_t serial) override;

    // The simulated dongle's device path, as hot-plug notices name it.
    static constexpr const char* kDevicePath =
        "/sys/devices/sim/usb1/1-1/1-1:1.0/0003:10C4:82FC.0001/hidraw/hidraw0";
    bool OnDeviceArrival(const std::string& path) override;
    bool OnDeviceRemoval(const std::string& path) override;

    // Dongle plugged in or pulled out. Pulling it closes the port as a removal notice would;
    // plugging it in only makes Open succeed (the worker opens, on an arrival it was told of).
    void PlugDongle(bool in);
    bool IsDonglePlugged() const;
    // Another program holds the dongle: opening it fails, and says why, until it lets go.
    void HoldElsewhere(bool held) {
        WithLock([this, held] { m_bHeldElsewhere = held; });
    }
    bool DongleInUse() const override;
    // How long Read waits for the ESC before giving up (real milliseconds, at most 50).
    // 0 makes every Read return at once, which is what single-pass tests want.
    void SetReadWait(uint32_t ms);
    // Delay before the ESC's answer reaches the host (in the clock's milliseconds).
    void SetLatency(uint32_t ms);
    // Input reports carry at most this many payload bytes (1 to 62): the ESC's answers
    // arrive split across reports; 62 merges whatever is ready into one.
    void SetReportPayload(int bytes) {
        WithLock([this, bytes] { m_nReportPayload = bytes < 1 ? 1 : bytes; });
    }
    // Bytes the ESC sent that have not reached the host yet.
    size_t ToHostPending() const {
        std::lock_guard<std::mutex> lock(m_Lock);
        return m_ToHost.size();
    }
    // A stalled dongle takes no output report until it is released.
    void SetStalled(bool stalled) {
        WithLock([this, stalled] { m_bStalled = stalled; });
    }
    // The next input report carries a length byte larger than its payload.
    void InjectOversizedReport() {
        WithLock([this] { m_bOversized = true; });
    }

    // Runs f on the ESC with the simulator locked, e.g. port.Esc([](EscSimulator& e){...}).
    template <class F> auto Esc(F f) {
        std::lock_guard<std::mutex> lock(m_Lock);
        return f(m_Esc);
    }

    // Every output report the host sent, whole.
    std::vector<std::vector<uint8_t>> SentReports() const;
    int HelloCount() const;
    int OpenCount() const;

private:
    void WithLock(const std::function<void()>& f) {
        std::lock_guard<std::mutex> lock(m_Lock);
        f();
    }

    Clock* m_pClock;
    mutable std::mutex m_Lock;
    std::condition_variable m_Wake;
    EscSimulator m_Esc;
    bool m_bPlugged = true;
    bool m_bHeldElsewhere = false;
    bool m_bInUse = false;
    bool m_bHandle = false;
    uint32_t m_nReadWaitMs = 0;
    uint32_t m_nLatencyMs = 0;
    bool m_bOversized = false;
    int m_nReportPayload = 62;
    bool m_bStalled = false;
    bool m_bGoneUnannounced = false;
    struct Pending {
        uint8_t byte;
        uint32_t readyAt;
    };
    std::deque<Pending> m_ToHost;
    std::vector<std::vector<uint8_t>> m_Sent;
    int m_nHellos = 0;
    int m_nOpens = 0;

    void PollEscLocked();
};

} // namespace corvane::sim
