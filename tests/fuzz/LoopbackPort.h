// The port the link fuzzer plays the ESC through: queued input reports come up one per Read,
// and every byte the link writes is appended to one wire. Reading or writing with no device
// held is a fault of the link, so it aborts.
#pragma once

#include <algorithm>
#include <deque>
#include <vector>

#include "FuzzInput.h"
#include "PortBase.h"

namespace corvane::fuzz {

class LoopbackPort : public PortBase {
public:
    bool Open() override {
        m_bHandle = true;
        MarkOpen();
        return true;
    }
    bool Close() override {
        m_bHandle = false;
        return true;
    }
    bool HoldsDevice() const override { return m_bHandle; }

    int Write(const uint8_t* bytes, int count) override {
        Require(m_bHandle && bytes != nullptr && count > 0);
        const int n = std::min(count, m_nWriteRoom);
        wire.insert(wire.end(), bytes, bytes + n);
        return n;
    }
    int Read(uint8_t* buffer, int capacity) override {
        Require(m_bHandle && buffer != nullptr);
        if (m_Input.empty()) {
            return 0;
        }
        const std::vector<uint8_t> report = std::move(m_Input.front());
        m_Input.pop_front();
        const int n = std::min(static_cast<int>(report.size()), capacity);
        std::copy(report.begin(), report.begin() + n, buffer);
        return n;
    }

    void Feed(std::vector<uint8_t> report) { m_Input.push_back(std::move(report)); }
    // The ESC falls silent: reports still queued never come.
    void Silence() { m_Input.clear(); }
    // The dongle was pulled: what it had not handed up yet is gone with it.
    void Remove() {
        Silence();
        SetState(PORT_CLOSED);
    }
    // Payload bytes the dongle takes per report (0: it takes nothing for now).
    void SetWriteRoom(int n) { m_nWriteRoom = n; }

    std::vector<uint8_t> wire;

private:
    bool m_bHandle = false;
    int m_nWriteRoom = 62;
    std::deque<std::vector<uint8_t>> m_Input;
};

} // namespace corvane::fuzz
