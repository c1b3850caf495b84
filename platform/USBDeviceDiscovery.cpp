// How USBDevice finds the dongle: walk the hidraw devices, match IDs first by the HID
// device's name in the path, then by what the opened node reports, and size the reports from
// its descriptor.
#include <fcntl.h>

#include <cerrno>
#include <optional>

#include "HidrawListing.h"
#include "ReportDescriptor.h"
#include "USBDevice.h"

namespace corvane {

namespace {

// The dongle's own interface declares its three reports, each with room for a whole payload:
// data out (ID 1), data in (ID 2) and hello out (ID 3). Another interface of a composite
// device, or another product on the same ID, is not it.
constexpr int32_t kDongleReportBytes = 63;

bool DeclaresDongleReports(const ReportLengths& lengths) {
    return lengths.outputBytes[1] >= kDongleReportBytes &&
           lengths.outputBytes[3] >= kDongleReportBytes &&
           lengths.inputBytes[2] >= kDongleReportBytes;
}

} // namespace

bool USBDevice::FindInterface(int index) {
    if (index < 0 || index >= kMaxInterfaces) {
        return false;
    }
    // A path set by an arrival notice is the candidate and so takes index 0's turn.
    if (!m_pszPath.empty()) {
        return true;
    }
    m_pszPath = HidrawDeviceAt(m_system.SysfsRoot(), static_cast<size_t>(index));
    return !m_pszPath.empty();
}

int USBDevice::OpenIfMatching(uint16_t vendor, uint16_t product) {
    if (!PathNamesIds(m_pszPath, vendor, product)) {
        return -1;
    }
    const std::string node = HidrawNodeName(m_pszPath);
    if (node.empty()) {
        return -1;
    }
    const int fd =
        m_system.Open(m_system.DeviceDir() + "/" + node, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (fd == -EACCES || fd == -EPERM) {
            m_bDeniedInWalk = true;
            std::lock_guard lock(m_lock);
            m_deniedNode = m_system.DeviceDir() + "/" + node;
        }
        return -1;
    }
    HidRawInfo info;
    if (!m_system.GetRawInfo(fd, info) || info.vendor != vendor || info.product != product) {
        m_system.Close(fd);
        return -1;
    }
    // hidraw has no exclusive open: two programs on one dongle interleave their bytes, and
    // the other's greeting lands inside our firmware blocks. Every copy of this program
    // takes this lock, so the second one leaves the node alone. A system that cannot lock
    // at all (no lock support) still gets the dongle, as before.
    if (m_system.Lock(fd) == -EWOULDBLOCK) {
        m_system.Close(fd);
        m_bInUseInWalk = true;
        return -1;
    }
    return fd;
}

void USBDevice::OpenMatchingDevice(uint16_t vendor, uint16_t product) {
    m_bDeniedInWalk = false;
    m_bInUseInWalk = false;
    for (int index = 0; FindInterface(index); ++index) {
        const int fd = OpenIfMatching(vendor, product);
        if (fd < 0) {
            m_pszPath.clear();
            continue;
        }
        // Without a readable, well-formed descriptor that declares the dongle's reports,
        // this is not the dongle's interface (or its reports cannot be sized): skip it.
        std::vector<uint8_t> descriptor;
        std::optional<ReportLengths> lengths;
        if (m_system.GetReportDescriptor(fd, descriptor)) {
            lengths = ParseReportLengths(descriptor);
        }
        if (!lengths || !DeclaresDongleReports(*lengths)) {
            m_system.Close(fd);
            m_pszPath.clear();
            continue;
        }
        if (lengths->output != 0) {
            m_wOutputReportLength = lengths->output;
        }
        m_hDevice.store(fd);
        m_bAccessDenied.store(false);
        m_bInUse.store(false);
        return;
    }
    m_bAccessDenied.store(m_bDeniedInWalk);
    m_bInUse.store(m_bInUseInWalk);
}

void USBDevice::ResetCaps() {
    m_wOutputReportLength = 0;
}

std::string USBDevice::DeniedNode() const {
    std::lock_guard lock(m_lock);
    return m_deniedNode;
}

} // namespace corvane
