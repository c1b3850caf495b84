// The dongle port on Linux: the USB HID dongle reached through its hidraw node. Finds the
// dongle among the hidraw devices, greets it, wraps outgoing bytes into output reports and
// unwraps input reports, and follows arrival and removal notices from the udev monitor.
//
// Paths here are syspaths (see HidrawListing.h); notices may also give a devpath.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "DongleReport.h"
#include "HidSystem.h"
#include "PortBase.h"

namespace corvane {

class USBDevice : public PortBase {
public:
    // The machine's hidraw devices.
    USBDevice();
    explicit USBDevice(HidSystem& system);
    ~USBDevice() override;
    USBDevice(const USBDevice&) = delete;
    USBDevice& operator=(const USBDevice&) = delete;

    bool Open() override;
    bool Close() override;
    int Write(const uint8_t* bytes, int count) override;
    int Read(uint8_t* buffer, int capacity) override;
    bool HoldsDevice() const override;

    // The worker: tries the arriving device first; true when the dongle is open afterwards.
    // Acts only while the port is closed.
    bool OnDeviceArrival(const std::string& path) override;
    // Any thread: true when the removed device is the open dongle (or the one lost under a
    // read or write); the port is then PORT_CLOSED and the worker closes the handle.
    bool OnDeviceRemoval(const std::string& path) override;
    // The last search found the dongle's node but was refused permission to open it, and
    // opened nothing (typically a missing udev rule).
    bool AccessDenied() const override { return m_bAccessDenied.load(); }
    std::string DeniedNode() const override;
    // The last search found the dongle locked by another program (see OpenIfMatching) and
    // opened nothing.
    bool DongleInUse() const override { return m_bInUse.load(); }
    // The worker: a walk over every hidraw device from the first, whatever path the port
    // last knew.
    bool Search() override;
    bool CloseFailed(uint32_t serial) override;
    // The open dongle's node (or the last one open).
    std::string DevicePath() const;

    // The steps of Open, on the worker.
    bool FindInterface(int index);
    int OpenIfMatching(uint16_t vendor, uint16_t product);
    void OpenMatchingDevice(uint16_t vendor, uint16_t product);
    void ResetCaps();

    static constexpr int kMaxInterfaces = 64;

private:
    // One report with up to one payload's bytes, whichever opening is served.
    int WriteReport(const uint8_t* bytes, int count);
    void MarkGone();

    HidSystem& m_system;
    // Only the worker opens, reads, writes and closes (see PortBase), so the handle, the
    // report buffer, the walk's path and the report lengths are its own. What a removal
    // notice on the user-interface thread looks at is kept under this lock, which no system
    // call is ever made under: a write the kernel takes seconds over never holds up a notice.
    mutable std::mutex m_lock;
    std::atomic<int> m_hDevice{-1};
    std::string m_pszPath;  // the walk's candidate; the worker's
    std::string m_openPath; // the open dongle's node; under m_lock
    std::vector<uint8_t> m_pReport;
    uint16_t m_wReportLength = 0;

    const uint8_t m_byHello = dongle::kHelloPayload;
    uint8_t m_byReportId = 1;
    uint16_t m_wOutputReportLength = 0;
    bool m_bDeniedInWalk = false;
    std::atomic<bool> m_bAccessDenied{false};
    std::string m_deniedNode; // under m_lock
    bool m_bInUseInWalk = false;
    std::atomic<bool> m_bInUse{false};
    // The node that vanished under a read or write before its removal notice came: kept until
    // that notice, which udev may send after other devices' arrivals, or until a search opens
    // a dongle. Under m_lock.
    std::string m_lostPath;
    // The node an Open has found and is greeting, and whether it went meanwhile. Under m_lock.
    std::string m_openingPath;
    bool m_bOpeningGone = false;
};

} // namespace corvane
