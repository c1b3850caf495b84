// A port the test scripts byte by byte: queued input reports are handed up one per Read,
// every Write is recorded. Fails the test if anything reads or writes while it is closed.
#pragma once

#include <deque>
#include <vector>

#include <gtest/gtest.h>

#include "PortBase.h"

namespace corvane::test {

class ScriptPort : public PortBase {
public:
    bool Open() override {
        m_bHandle = true;
        MarkOpen();
        return true;
    }
    bool Close() override {
        m_nEmptyCloses += m_bHandle ? 0 : 1; // a close with nothing to close
        m_bHandle = false;
        return true;
    }
    bool HoldsDevice() const override { return m_bHandle; }
    int Write(const uint8_t* bytes, int count) override {
        EXPECT_TRUE(m_bHandle) << "write with no device";
        const int n = count < m_nWriteRoom ? count : m_nWriteRoom;
        m_Written.emplace_back(bytes, bytes + n);
        return n;
    }
    int Read(uint8_t* buffer, int capacity) override {
        EXPECT_TRUE(m_bHandle) << "read with no device";
        m_nLastReadWait = ReadWaitBound(kReadWaitMs);
        if (m_Input.empty()) {
            return 0;
        }
        std::vector<uint8_t> report = m_Input.front();
        m_Input.pop_front();
        const int n =
            static_cast<int>(report.size()) < capacity ? static_cast<int>(report.size()) : capacity;
        std::copy(report.begin(), report.begin() + n, buffer);
        return n;
    }

    void Feed(std::vector<uint8_t> report) { m_Input.push_back(std::move(report)); }
    // Everything written so far, joined, and forgotten.
    std::vector<uint8_t> TakeWritten() {
        std::vector<uint8_t> all;
        for (const auto& w : m_Written) {
            all.insert(all.end(), w.begin(), w.end());
        }
        m_Written.clear();
        return all;
    }
    const std::vector<std::vector<uint8_t>>& Writes() const { return m_Written; }
    void SetWriteRoom(int n) { m_nWriteRoom = n; }
    void Remove() { m_nState.store(PORT_CLOSED); }
    int EmptyCloses() const { return m_nEmptyCloses; }
    // How long the last Read was allowed to wait.
    uint32_t LastReadWait() const { return m_nLastReadWait; }

private:
    bool m_bHandle = false;
    int m_nWriteRoom = 62;
    uint32_t m_nLastReadWait = kReadWaitMs;
    int m_nEmptyCloses = 0;
    std::deque<std::vector<uint8_t>> m_Input;
    std::vector<std::vector<uint8_t>> m_Written;
};

} // namespace corvane::test
