// A hidraw seam with no system behind it, for the report fuzzer: one node that opens, names the
// dongle's IDs, hands over the fuzzer's report descriptor and answers each poll, read and write
// as the fuzzer set it up. Paths point nowhere, so a walk of the device list finds nothing.
// Any call on a descriptor that is not open is a fault of the port, so it aborts.
#pragma once

#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "FuzzInput.h"
#include "HidSystem.h"
#include "LinkTypes.h"

namespace corvane::fuzz {

class ScriptedHid : public HidSystem {
public:
    static constexpr int kFd = 7;

    std::string SysfsRoot() const override { return "/nonexistent-corvane-fuzz/sys"; }
    std::string DeviceDir() const override { return "/nonexistent-corvane-fuzz/dev"; }

    int Open(const std::string& /*path*/, int /*flags*/) override {
        ++calls;
        if (m_bOpen) {
            return -EBUSY;
        }
        m_bOpen = true;
        return kFd;
    }
    int Close(int fd) override {
        ++calls;
        RequireOpen(fd);
        m_bOpen = false;
        return 0;
    }
    int Poll(int fd, short events, int /*timeoutMs*/, short& revents) override {
        ++calls;
        RequireOpen(fd);
        revents = static_cast<short>(pollRevents & (events | POLLERR | POLLHUP | POLLNVAL));
        return pollResult;
    }
    ssize_t Read(int fd, void* buffer, size_t size) override {
        ++calls;
        RequireOpen(fd);
        if (readError != 0) {
            return -readError;
        }
        // The kernel hands over at most the buffer's size and drops the rest of the report.
        const size_t n = std::min(size, report.size());
        std::copy_n(report.begin(), n, static_cast<uint8_t*>(buffer));
        return static_cast<ssize_t>(n);
    }
    ssize_t Write(int fd, const void* bytes, size_t size) override {
        ++calls;
        RequireOpen(fd);
        const auto* first = static_cast<const uint8_t*>(bytes);
        written.assign(first, first + size);
        return writeResult != 0 ? writeResult : static_cast<ssize_t>(size);
    }
    bool GetRawInfo(int fd, HidRawInfo& info) override {
        RequireOpen(fd);
        info = {3, kDongleVendorId, product};
        return true;
    }
    bool GetReportDescriptor(int fd, std::vector<uint8_t>& out) override {
        RequireOpen(fd);
        out = descriptor;
        return true;
    }

    int Lock(int fd) override {
        RequireOpen(fd);
        return lockResult;
    }

    bool IsOpen() const { return m_bOpen; }

    // Set by the fuzzer before each call on the port.
    std::vector<uint8_t> descriptor;
    uint16_t product = kDongleProductId;
    int lockResult = 0; // -EWOULDBLOCK: another program holds the dongle
    int pollResult = 1;
    short pollRevents = POLLIN | POLLOUT;
    int readError = 0;
    std::vector<uint8_t> report;
    ssize_t writeResult = 0; // 0: the whole report is taken

    // What the port did.
    int calls = 0;
    std::vector<uint8_t> written;

private:
    void RequireOpen(int fd) const { Require(m_bOpen && fd == kFd); }

    bool m_bOpen = false;
};

} // namespace corvane::fuzz
