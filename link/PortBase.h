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

    int GetState() const { return m_nState.load(); }
    void SetState(int state) { m_nState.store(state); }

protected:
    std::atomic<int> m_nState{PORT_CLOSED};
};

} // namespace corvane
