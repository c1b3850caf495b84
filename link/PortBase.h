// The byte port the link engine talks through: the HID dongle on a real machine, the
// simulator in tests and in the demo. Every call that reaches the device (Open, Close, Read,
// Write, the searches) is made by the worker thread, and each waits a bounded time. The
// user-interface thread only notes hot-plug notices here and reads the state: it never
// waits for device I/O, however long a write to a stalled dongle takes.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "LinkTypes.h"

namespace corvane {

class PortBase {
public:
    virtual ~PortBase() = default;

    // Finds and opens the device; true when the port is PORT_OPEN afterwards.
    virtual bool Open() = 0;
    // Releases the device; never changes the port state.
    virtual bool Close() = 0;
    // Sends at most one report's payload; returns how many bytes were taken (0: none).
    virtual int Write(const uint8_t* bytes, int count) = 0;
    // Reads one input report into buffer (capacity bytes) and returns the number of payload
    // bytes now at its start (0: none). Waits at most 50 ms, or ReadWaitBound() if less.
    virtual int Read(uint8_t* buffer, int capacity) = 0;
    // The worker, before a Read: a deadline of the link's own (the end of the quiet watch
    // after an acceptance) comes sooner than the read wait would end. Only the worker reads.
    void BoundReadWait(uint32_t ms) { m_nReadWaitBound = ms; }
    // Whether a device handle is held (it may outlive a removal until the worker closes it).
    virtual bool HoldsDevice() const = 0;

    // The worker, for an arrival noted by the window (device paths as the system names
    // them): tries the arrived device first; true when the dongle is now open. Acts only
    // while the port is closed.
    virtual bool OnDeviceArrival(const std::string& path) {
        (void)path;
        return false;
    }
    // The user-interface thread, for a removal notice: true when the removed device is the
    // open dongle; the port is then PORT_CLOSED and the worker closes the handle. Decided
    // without device I/O.
    virtual bool OnDeviceRemoval(const std::string& path) {
        (void)path;
        return false;
    }
    // The last search found the dongle but was refused permission to open it.
    virtual bool AccessDenied() const { return false; }
    // The last node that refused us (for the user's diagnostics), or empty.
    virtual std::string DeniedNode() const { return {}; }
    // The last search found the dongle but another program holds it, and opened nothing.
    virtual bool DongleInUse() const { return false; }
    // Both of the above as LN_DONGLE_SEARCHED's flags: kSearchDenied, kSearchInUse.
    uint32_t AccessFlags() const {
        return (AccessDenied() ? kSearchDenied : 0) | (DongleInUse() ? kSearchInUse : 0);
    }
    // The worker: a fresh search over every device while the port is closed (a retry, or
    // another dongle after ours was pulled); true when the port is open.
    virtual bool Search() { return GetState() == PORT_CLOSED && Open(); }

    // The user-interface thread's side of a search: an arrival notice (NoteArrival) or a
    // wish for a walk over every device (NoteSearch) is only noted, and the worker makes the
    // search on its next pass over a closed port (TakeNotedSearch). False, and nothing noted,
    // while the port is not closed: the search would open nothing. `tag` comes back with what
    // came of it (LN_DONGLE_SEARCHED), so the window can tell a search it noted before some
    // event from one after.
    struct NotedSearch {
        bool wholeWalk = false;
        std::string path; // the arrived device, for an arrival
        uint32_t tag = 0;
    };
    bool NoteArrival(const std::string& path, uint32_t tag = 0) { return Note({false, path, tag}); }
    bool NoteSearch(uint32_t tag = 0) { return Note({true, {}, tag}); }
    std::optional<NotedSearch> TakeNotedSearch() {
        std::lock_guard<std::mutex> lock(m_notedLock);
        if (m_noted.empty()) {
            return std::nullopt;
        }
        NotedSearch search = std::move(m_noted.front());
        m_noted.pop_front();
        return search;
    }

    int GetState() const { return m_nState.load(); }
    void SetState(int state) { m_nState.store(state); }
    // Open -> ESC ready, and nothing else: a removal that closed the port a moment ago must
    // not be overwritten by an identify that ended at the same time.
    void MarkEscReady() {
        int open = PORT_OPEN;
        m_nState.compare_exchange_strong(open, PORT_ESC_READY);
    }

    // Every successful open gets the next serial (never 0). The worker keeps the serial its
    // link state belongs to, so it can tell a dongle opened anew (by a search it made on a
    // closed port) from the one it was talking to.
    uint32_t OpenSerial() const { return m_nOpenSerial.load(); }
    // The worker names the opening it serves; while another one is open, Read and Write
    // move nothing, so bytes of an exchange begun with one dongle never reach another.
    // 0 (the start) names none and checks nothing.
    void Serve(uint32_t serial) { m_nServedSerial.store(serial); }
    // Closes the device only if it is still the opening `serial` and the port is still
    // closed: the worker saw that opening fail, and closes no other.
    virtual bool CloseFailed(uint32_t serial) {
        if (OpenSerial() != serial || GetState() != PORT_CLOSED || !HoldsDevice()) {
            return false;
        }
        return Close();
    }

protected:
    // How long the next Read may wait, in milliseconds: the read wait unless the link bounds it.
    uint32_t ReadWaitBound(uint32_t readWait) const { return std::min(readWait, m_nReadWaitBound); }

    // The last step of a successful open: a new serial, then the open state, in that order,
    // so whoever sees the new state also sees the new serial.
    void MarkOpen() {
        uint32_t next = m_nOpenSerial.load() + 1;
        m_nOpenSerial.store(next != 0 ? next : 1);
        SetState(PORT_OPEN);
    }
    // Whether Read and Write may move bytes for the opening now held.
    bool ServingCurrent() const {
        const uint32_t served = m_nServedSerial.load();
        return served == 0 || served == m_nOpenSerial.load();
    }

    // A walk over every device finds whatever an arrival would: a run of notices while the
    // worker is held up (in a write the kernel takes seconds over) folds into one, made for
    // the newest. The state is looked at under the lock: the worker opens only while making a
    // search it took, and takes until none is left, so a search noted before an open is
    // answered, and none is noted after it.
    static constexpr size_t kMaxNotedSearches = 16;
    bool Note(NotedSearch search) {
        std::lock_guard<std::mutex> lock(m_notedLock);
        if (GetState() != PORT_CLOSED) {
            return false;
        }
        if (!m_noted.empty() && m_noted.back().wholeWalk) {
            m_noted.back().tag = search.tag;
        } else if (m_noted.size() >= kMaxNotedSearches) {
            m_noted.back() = {true, {}, search.tag};
        } else {
            m_noted.push_back(std::move(search));
        }
        return true;
    }

    std::atomic<int> m_nState{PORT_CLOSED};
    std::atomic<uint32_t> m_nOpenSerial{0};
    std::atomic<uint32_t> m_nServedSerial{0};
    uint32_t m_nReadWaitBound = kReadWaitMs; // the worker's alone
    std::mutex m_notedLock;                  // held by no device I/O
    std::deque<NotedSearch> m_noted;
};

} // namespace corvane
