#include "SimPort.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>

#include "DongleReport.h"

namespace corvane::sim {

namespace {
using dongle::kDataReportId;
using dongle::kHelloReportId;
using dongle::kInputReportId;
constexpr int kPayloadMax = SimPort::kReportLength - dongle::kHeaderLength;
} // namespace

SimPort::SimPort(Clock* clock) : m_pClock(clock) {}

bool SimPort::Open() {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_nState.load() == PORT_OPEN) {
        return true;
    }
    m_bInUse = m_bPlugged && m_bHeldElsewhere;
    if (!m_bPlugged || m_bHeldElsewhere) {
        m_bHandle = false;
        return false;
    }
    m_bHandle = true;
    m_bGoneUnannounced = false;
    ++m_nOpens;
    // The hello report, as the dongle expects it after every open.
    std::vector<uint8_t> hello(kReportLength, 0);
    hello[0] = kHelloReportId;
    hello[1] = 1;
    hello[2] = dongle::kHelloPayload;
    m_Sent.push_back(hello);
    ++m_nHellos;
    m_ToHost.clear();
    MarkOpen();
    return true;
}

bool SimPort::Close() {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_bHandle = false;
    return true;
}

bool SimPort::CloseFailed(uint32_t serial) {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (OpenSerial() != serial || m_nState.load() != PORT_CLOSED) {
        return false;
    }
    m_bHandle = false;
    return true;
}

bool SimPort::HoldsDevice() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bHandle;
}

bool SimPort::OnDeviceArrival(const std::string& path) {
    if (m_nState.load() != PORT_CLOSED || path != kDevicePath) {
        return false;
    }
    return Open();
}

bool SimPort::OnDeviceRemoval(const std::string& path) {
    std::lock_guard<std::mutex> lock(m_Lock);
    if ((m_nState.load() == PORT_CLOSED && !m_bGoneUnannounced) ||
        path.size() != std::strlen(kDevicePath) ||
        !std::equal(path.begin(), path.end(), kDevicePath, [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        })) {
        return false;
    }
    m_bGoneUnannounced = false;
    m_nState.store(PORT_CLOSED);
    return true;
}

void SimPort::PlugDongle(bool in) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_bPlugged = in;
    if (!in) {
        // Like a pulled hidraw node: the port notices at once; the removal notice follows.
        m_bGoneUnannounced = m_nState.load() != PORT_CLOSED;
        m_nState.store(PORT_CLOSED);
        m_ToHost.clear();
    }
    m_Wake.notify_all();
}

bool SimPort::DongleInUse() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bInUse;
}

bool SimPort::IsDonglePlugged() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_bPlugged;
}

void SimPort::SetReadWait(uint32_t ms) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_nReadWaitMs = std::min<uint32_t>(ms, kReadWaitMs);
}

void SimPort::SetLatency(uint32_t ms) {
    std::lock_guard<std::mutex> lock(m_Lock);
    m_nLatencyMs = ms;
}

std::vector<std::vector<uint8_t>> SimPort::SentReports() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_Sent;
}

int SimPort::HelloCount() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_nHellos;
}

int SimPort::OpenCount() const {
    std::lock_guard<std::mutex> lock(m_Lock);
    return m_nOpens;
}

void SimPort::PollEscLocked() {
    std::deque<uint8_t> out;
    const uint32_t now = m_pClock->Now();
    m_Esc.Poll(now, out);
    for (uint8_t byte : out) {
        m_ToHost.push_back({byte, now + m_nLatencyMs});
    }
}

int SimPort::Write(const uint8_t* bytes, int count) {
    std::lock_guard<std::mutex> lock(m_Lock);
    if (!m_bHandle || !m_bPlugged || m_bStalled || m_nState.load() == PORT_CLOSED || count <= 0 ||
        !ServingCurrent()) {
        return 0;
    }
    const int n = std::min(count, kPayloadMax);
    std::vector<uint8_t> report(kReportLength, 0);
    report[0] = kDataReportId;
    report[1] = static_cast<uint8_t>(n);
    std::memcpy(report.data() + 2, bytes, static_cast<size_t>(n));
    m_Sent.push_back(report);

    // The dongle takes the report apart and hands the payload to the ESC.
    const uint32_t now = m_pClock->Now();
    for (int i = 0; i < report[1]; ++i) {
        m_Esc.OnHostByte(report[2 + i], now);
    }
    PollEscLocked();
    m_Wake.notify_all();
    return n;
}

int SimPort::Read(uint8_t* buffer, int capacity) {
    std::unique_lock<std::mutex> lock(m_Lock);
    if (!m_bHandle || capacity < 2) {
        return 0;
    }
    const uint32_t wait = ReadWaitBound(m_nReadWaitMs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait);
    auto ready = [this] {
        return !m_ToHost.empty() &&
               static_cast<int32_t>(m_pClock->Now() - m_ToHost.front().readyAt) >= 0;
    };
    for (;;) {
        if (!m_bPlugged || m_nState.load() == PORT_CLOSED || !ServingCurrent()) {
            return 0;
        }
        PollEscLocked();
        if (ready()) {
            break;
        }
        const auto now = std::chrono::steady_clock::now();
        if (wait == 0 || now >= deadline) {
            return 0;
        }
        auto until = deadline;
        if (!m_ToHost.empty()) {
            // Wake when the ESC's delayed answer is due rather than at the end of the wait.
            const int32_t due = static_cast<int32_t>(m_ToHost.front().readyAt - m_pClock->Now());
            until = std::min(deadline, now + std::chrono::milliseconds(std::max(due, 1)));
        }
        m_Wake.wait_until(lock, until);
    }

    // One input report: [2, n, payload], n at most the report's room.
    uint8_t report[kReportLength] = {};
    report[0] = kInputReportId;
    int n = 0;
    const uint32_t now = m_pClock->Now();
    while (n < std::min(kPayloadMax, m_nReportPayload) && !m_ToHost.empty() &&
           static_cast<int32_t>(now - m_ToHost.front().readyAt) >= 0) {
        report[2 + n++] = m_ToHost.front().byte;
        m_ToHost.pop_front();
    }
    report[1] = static_cast<uint8_t>(n);
    int received = 2 + n;
    if (m_bOversized) {
        // A dongle that claims more than it sent: the length byte lies.
        report[1] = static_cast<uint8_t>(kPayloadMax + 40);
        m_bOversized = false;
    }

    // Unwrap as the real port does: the payload goes to the front of the buffer, and a
    // length byte larger than what arrived never reads past it.
    const int payload = std::min({static_cast<int>(report[1]), received - 2, capacity});
    std::memcpy(buffer, report + 2, static_cast<size_t>(payload));
    return payload;
}

} // namespace corvane::sim
