// Records the link's notifications and lets a test wait for one posted by a real worker.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "NotifySink.h"

namespace corvane::test {

struct Note {
    uint32_t code;
    uint32_t value;
    bool operator==(const Note&) const = default;
};

class RecordingSink : public NotifySink {
public:
    void PostLinkNotify(const LinkNotice& notice) override {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Notes.push_back({notice.code, notice.value});
        m_Exchanges.push_back(notice.exchange);
        m_Changed.notify_all();
    }
    // The exchange serial each notice carried, in the order posted.
    std::vector<uint32_t> Exchanges() const {
        std::lock_guard<std::mutex> lock(m_Lock);
        return m_Exchanges;
    }

    std::vector<Note> Notes() const {
        std::lock_guard<std::mutex> lock(m_Lock);
        return m_Notes;
    }
    std::vector<uint32_t> Codes() const {
        std::lock_guard<std::mutex> lock(m_Lock);
        std::vector<uint32_t> codes;
        for (const Note& n : m_Notes) {
            codes.push_back(n.code);
        }
        return codes;
    }
    int Count(uint32_t code) const {
        std::lock_guard<std::mutex> lock(m_Lock);
        return static_cast<int>(std::count_if(m_Notes.begin(), m_Notes.end(),
                                              [code](const Note& n) { return n.code == code; }));
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_Lock);
        m_Notes.clear();
        m_Exchanges.clear();
    }
    // For tests over a real worker thread: waits until `code` has been posted `times` times.
    // The limit only guards against a hung test; passing never depends on it.
    bool WaitFor(uint32_t code, int times = 1,
                 std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        std::unique_lock<std::mutex> lock(m_Lock);
        return m_Changed.wait_for(lock, limit, [&] {
            return std::count_if(m_Notes.begin(), m_Notes.end(),
                                 [code](const Note& n) { return n.code == code; }) >= times;
        });
    }

private:
    mutable std::mutex m_Lock;
    std::condition_variable m_Changed;
    std::vector<uint32_t> m_Exchanges;
    std::vector<Note> m_Notes;
};

} // namespace corvane::test
