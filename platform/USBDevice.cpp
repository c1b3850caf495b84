#include "USBDevice.h"

#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

#include "DongleReport.h"
#include "HidrawListing.h"

namespace corvane {

namespace {

using dongle::kDataReportId;
using dongle::kHeaderLength;
using dongle::kHelloReportId;
using dongle::kInputReportId;
using dongle::kMaxPayload;
constexpr short kGoneEvents = POLLERR | POLLHUP | POLLNVAL;

// Sysfs names are ASCII, so folding bytes is enough.
bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

USBDevice::USBDevice() : USBDevice(LinuxHidSystem::Instance()) {}

USBDevice::USBDevice(HidSystem& system) : m_system(system) {}

USBDevice::~USBDevice() {
    Close();
}

bool USBDevice::HoldsDevice() const {
    return m_hDevice.load() >= 0;
}

std::string USBDevice::DevicePath() const {
    std::lock_guard lock(m_lock);
    return m_openPath;
}

bool USBDevice::Open() {
    const int state = GetState();
    if (state == PORT_OPEN || state == PORT_ESC_READY) {
        return true;
    }
    if (HoldsDevice()) {
        Close();
    }
    OpenMatchingDevice(kDongleVendorId, kDongleProductId);
    if (!HoldsDevice()) {
        return false;
    }
    // From here the node's removal, or its hang-up under the hello, ends the opening: the
    // hello may take the kernel seconds, and the notice comes meanwhile.
    {
        std::lock_guard lock(m_lock);
        m_openingPath = m_pszPath;
        m_bOpeningGone = false;
    }
    m_pReport.assign(m_wOutputReportLength, 0);
    m_wReportLength = m_wOutputReportLength;

    m_byReportId = kHelloReportId;
    WriteReport(&m_byHello, 1);
    m_byReportId = kDataReportId;
    bool gone = false;
    {
        // The open state last, so that the worker starts on the port only once everything
        // above exists; with the path, so that a removal notice sees both or neither.
        std::lock_guard lock(m_lock);
        gone = m_bOpeningGone;
        m_openingPath.clear();
        if (!gone) {
            m_openPath = m_pszPath;
            m_lostPath.clear();
            MarkOpen();
        }
    }
    if (gone) {
        Close();
        return false;
    }
    return true;
}

bool USBDevice::Search() {
    if (GetState() != PORT_CLOSED) {
        return false;
    }
    // The path of a pulled dongle would take the first turn and push the device listed
    // first out of the walk.
    m_pszPath.clear();
    return Open();
}

bool USBDevice::CloseFailed(uint32_t serial) {
    if (OpenSerial() != serial || GetState() != PORT_CLOSED || !HoldsDevice()) {
        return false;
    }
    return Close();
}

bool USBDevice::Close() {
    const int fd = m_hDevice.exchange(-1);
    if (fd >= 0) {
        m_system.Close(fd);
    }
    ResetCaps();
    return true;
}

// A hidraw node whose device is unplugged stays readable: poll reports an error or hang-up at
// once and read fails, so without this the worker would spin on the dead node instead of
// waiting 50 ms per pass until the udev removal notice arrives (if it ever does). Closing
// the port state hands the cleanup to the worker, exactly as a removal notice does.
// The udev removal notice usually comes after that, and must still be recognised as ours.
void USBDevice::MarkGone() {
    std::lock_guard lock(m_lock);
    if (!m_openingPath.empty()) {
        if (!m_bOpeningGone) {
            m_lostPath = m_openingPath;
        }
        m_bOpeningGone = true;
    } else if (GetState() != PORT_CLOSED) {
        m_lostPath = m_openPath;
    }
    SetState(PORT_CLOSED);
}

int USBDevice::Write(const uint8_t* bytes, int count) {
    if (!ServingCurrent()) {
        return 0;
    }
    return WriteReport(bytes, count);
}

int USBDevice::WriteReport(const uint8_t* bytes, int count) {
    const int fd = m_hDevice.load();
    if (fd < 0 || m_wReportLength < kHeaderLength) {
        return 0;
    }
    const int room = std::min(m_wReportLength - kHeaderLength, kMaxPayload);
    const int n = bytes ? std::clamp(count, 0, room) : 0;
    std::fill(m_pReport.begin(), m_pReport.end(), 0);
    m_pReport[0] = m_byReportId;
    m_pReport[1] = static_cast<uint8_t>(n);
    std::copy_n(bytes, n, m_pReport.begin() + kHeaderLength);

    short revents = 0;
    if (m_system.Poll(fd, POLLOUT, kWriteWaitMs, revents) <= 0) {
        return 0;
    }
    if (revents & kGoneEvents) {
        MarkGone();
        return 0;
    }
    const ssize_t written = m_system.Write(fd, m_pReport.data(), m_pReport.size());
    if (written == -ENODEV) {
        MarkGone();
    }
    // Only payload that really left counts: the link sends the rest again. Header bytes are
    // not payload, and a report cut inside its header carried none.
    if (written <= kHeaderLength) {
        return 0;
    }
    return static_cast<int>(std::min<ssize_t>(written - kHeaderLength, n));
}

int USBDevice::Read(uint8_t* buffer, int capacity) {
    const int fd = m_hDevice.load();
    if (fd < 0 || buffer == nullptr || capacity <= 0 || !ServingCurrent()) {
        return 0;
    }
    short revents = 0;
    if (m_system.Poll(fd, POLLIN, static_cast<int>(ReadWaitBound(kReadWaitMs)), revents) <= 0) {
        return 0;
    }
    if (revents & kGoneEvents) {
        MarkGone();
        return 0;
    }
    // The kernel cuts a report longer than capacity, so the buffer is never overrun.
    const ssize_t got = m_system.Read(fd, buffer, static_cast<size_t>(capacity));
    if (got == -ENODEV || got == -EIO) { // EIO: what hidraw readers get once the device left
        MarkGone();
        return 0;
    }
    if (got < 0) {
        // Readable, yet nothing came (EAGAIN: another reader was first; EINTR): the pass
        // still takes its bounded wait, or the worker would spin on the node. Only a hang-up
        // ends that wait early.
        short ignored = 0;
        m_system.Poll(fd, 0, kReadWaitMs, ignored);
        return 0;
    }
    // Only the dongle's data report carries ESC bytes; any other report (another ID the
    // device may define) would put its ID, length and contents into the byte stream.
    if (got < kHeaderLength || buffer[0] != kInputReportId) {
        return 0;
    }
    // The dongle's length byte is trusted only as far as the bytes that really came.
    const size_t n = std::min<size_t>(buffer[1], static_cast<size_t>(got) - kHeaderLength);
    std::memmove(buffer, buffer + kHeaderLength, n);
    return static_cast<int>(n);
}

bool USBDevice::OnDeviceArrival(const std::string& path) {
    if (GetState() != PORT_CLOSED) {
        return false;
    }
    m_pszPath = ToSyspath(path, m_system.SysfsRoot());
    Open();
    return GetState() == PORT_OPEN;
}

bool USBDevice::OnDeviceRemoval(const std::string& path) {
    std::lock_guard lock(m_lock);
    const std::string removed = ToSyspath(path, m_system.SysfsRoot());
    if (!m_lostPath.empty() && EqualIgnoringCase(m_lostPath, removed)) {
        m_lostPath.clear();
        SetState(PORT_CLOSED);
        return true;
    }
    if (!m_openingPath.empty() && !m_bOpeningGone && EqualIgnoringCase(m_openingPath, removed)) {
        m_bOpeningGone = true; // the worker lets the opening go
        return true;
    }
    if (GetState() == PORT_CLOSED || m_openPath.empty() ||
        !EqualIgnoringCase(m_openPath, removed)) {
        return false;
    }
    SetState(PORT_CLOSED);
    return true;
}

} // namespace corvane
