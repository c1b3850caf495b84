// The byte port the link engine talks through: the HID dongle on a real machine, the
// simulator in tests and in the demo. Read and Write are called only by the worker thread
// and each waits a bounded time.
#pragma once

#include <atomic>
#include <cstdint>
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
    // bytes now at its start (0: none). Waits at most 50 ms.
    virtual int Read(uint8_t* buffer, int capacity) = 0;
    // Whether a device handle is held (it may outlive a removal until the worker closes it).
    virtual bool HoldsDevice() const = 0;

    // Hot-plug notices forwarded by the window (device paths as the system names them).
    // True when the arrived device is ours and now open / the removed one was ours.
    virtual bool OnDeviceArrival(const std::string& path) {
        (void)path;
        return false;
    }
    virtual bool OnDeviceRemoval(const std::string& path) {
        (void)path;
        return false;
    }
    // The last search found the dongle but was refused permission to open it.
    virtual bool AccessDenied() const { return false; }
    // The node that refused (for the user's diagnostics), or empty.
    virtual std::string DeniedNode() const { return {}; }
    // The last search found the dongle but another program holds it, and opened nothing.
    virtual bool DongleInUse() const { return false; }
    // A fresh search over every device, on the user-interface thread, while the port is
    // closed (a retry, or another dongle after ours was pulled); true when the port is open.
    virtual bool Search() { return GetState() == PORT_CLOSED && Open(); }

    int GetState() const { return m_nState.load(); }
    void SetState(int state) { m_nState.store(state); }
    // Open -> ESC ready, and nothing else: a removal that closed the port a moment ago must
    // not be overwritten by an identify that ended at the same time.
    void MarkEscReady() {
        int open = PORT_OPEN;
        m_nState.compare_exchange_strong(open, PORT_ESC_READY);
    }

    // Every successful open gets the next serial (never 0). The worker keeps the serial its
    // link state belongs to, so it can tell a dongle re-opened behind its back (an arrival
    // between two of its passes) from the one it was talking to.
    uint32_t OpenSerial() const { return m_nOpenSerial.load(); }
    // The worker names the opening it serves; while another one is open, Read and Write
    // move nothing, so bytes of an exchange begun with one dongle never reach another.
    // 0 (the start) names none and checks nothing.
    void Serve(uint32_t serial) { m_nServedSerial.store(serial); }
    // Closes the device only if it is still the opening `serial` and the port is still
    // closed: the worker saw that opening fail, and must not close one an arrival made since.
    virtual bool CloseFailed(uint32_t serial) {
        if (OpenSerial() != serial || GetState() != PORT_CLOSED || !HoldsDevice()) {
            return false;
        }
        return Close();
    }

protected:
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

    std::atomic<int> m_nState{PORT_CLOSED};
    std::atomic<uint32_t> m_nOpenSerial{0};
    std::atomic<uint32_t> m_nServedSerial{0};
};

} // namespace corvane
