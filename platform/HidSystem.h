// The few system calls the dongle port makes, behind an interface so that tests can run the
// port against a fake sysfs tree and a socket pair instead of a real /dev/hidraw node.
// Calls return what the system call returns, except that failures come back as -errno.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// What HIDIOCGRAWINFO tells about a node.
struct HidRawInfo {
    uint32_t bus = 0;
    uint16_t vendor = 0;
    uint16_t product = 0;
};

class HidSystem {
public:
    virtual ~HidSystem() = default;

    // Where sysfs is mounted ("/sys"); hidraw devices are listed under <root>/class/hidraw.
    virtual std::string SysfsRoot() const = 0;
    // Where the hidraw device nodes live ("/dev").
    virtual std::string DeviceDir() const = 0;

    virtual int Open(const std::string& path, int flags) = 0;
    virtual int Close(int fd) = 0;
    // Waits at most timeoutMs for events on fd; > 0 with revents set, 0 on timeout.
    virtual int Poll(int fd, short events, int timeoutMs, short& revents) = 0;
    virtual ssize_t Read(int fd, void* buffer, size_t size) = 0;
    virtual ssize_t Write(int fd, const void* bytes, size_t size) = 0;
    virtual bool GetRawInfo(int fd, HidRawInfo& info) = 0;
    virtual bool GetReportDescriptor(int fd, std::vector<uint8_t>& descriptor) = 0;
    // Takes an exclusive advisory lock on the open node without waiting (flock); 0, or
    // -EWOULDBLOCK while another open file holds it. Closing fd lets it go.
    virtual int Lock(int fd) = 0;
};

// The machine's own hidraw devices.
class LinuxHidSystem : public HidSystem {
public:
    explicit LinuxHidSystem(std::string sysfsRoot = "/sys", std::string deviceDir = "/dev");

    std::string SysfsRoot() const override { return m_sysfsRoot; }
    std::string DeviceDir() const override { return m_deviceDir; }

    int Open(const std::string& path, int flags) override;
    int Close(int fd) override;
    int Poll(int fd, short events, int timeoutMs, short& revents) override;
    ssize_t Read(int fd, void* buffer, size_t size) override;
    ssize_t Write(int fd, const void* bytes, size_t size) override;
    bool GetRawInfo(int fd, HidRawInfo& info) override;
    bool GetReportDescriptor(int fd, std::vector<uint8_t>& descriptor) override;
    int Lock(int fd) override;

    static LinuxHidSystem& Instance();

private:
    std::string m_sysfsRoot;
    std::string m_deviceDir;
};

} // namespace corvane
