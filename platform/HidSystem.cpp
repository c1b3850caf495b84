#include "HidSystem.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace corvane {

namespace {

template <typename T> T OrErrno(T result) {
    return result < 0 ? static_cast<T>(-errno) : result;
}

} // namespace

LinuxHidSystem::LinuxHidSystem(std::string sysfsRoot, std::string deviceDir)
    : m_sysfsRoot(std::move(sysfsRoot)), m_deviceDir(std::move(deviceDir)) {}

int LinuxHidSystem::Open(const std::string& path, int flags) {
    return OrErrno(::open(path.c_str(), flags));
}

int LinuxHidSystem::Close(int fd) {
    return OrErrno(::close(fd));
}

int LinuxHidSystem::Poll(int fd, short events, int timeoutMs, short& revents) {
    pollfd entry{fd, events, 0};
    int result = OrErrno(::poll(&entry, 1, timeoutMs));
    revents = entry.revents;
    return result;
}

ssize_t LinuxHidSystem::Read(int fd, void* buffer, size_t size) {
    return OrErrno(::read(fd, buffer, size));
}

ssize_t LinuxHidSystem::Write(int fd, const void* bytes, size_t size) {
    return OrErrno(::write(fd, bytes, size));
}

bool LinuxHidSystem::GetRawInfo(int fd, HidRawInfo& info) {
    hidraw_devinfo raw{};
    if (::ioctl(fd, HIDIOCGRAWINFO, &raw) < 0) {
        return false;
    }
    info.bus = raw.bustype;
    info.vendor = static_cast<uint16_t>(raw.vendor);
    info.product = static_cast<uint16_t>(raw.product);
    return true;
}

bool LinuxHidSystem::GetReportDescriptor(int fd, std::vector<uint8_t>& descriptor) {
    int size = 0;
    if (::ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return false;
    }
    hidraw_report_descriptor raw{};
    raw.size = static_cast<uint32_t>(size);
    if (::ioctl(fd, HIDIOCGRDESC, &raw) < 0) {
        return false;
    }
    descriptor.assign(raw.value, raw.value + raw.size);
    return true;
}

int LinuxHidSystem::Lock(int fd) {
    return OrErrno(::flock(fd, LOCK_EX | LOCK_NB));
}

LinuxHidSystem& LinuxHidSystem::Instance() {
    static LinuxHidSystem system;
    return system;
}

} // namespace corvane
