#include "FakeHidraw.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "LinkTypes.h"

namespace corvane::test {

namespace fs = std::filesystem;

std::vector<uint8_t> DongleDescriptor() {
    return {
        0x06, 0x00, 0xFF,       // Usage Page (vendor)
        0x09, 0x01,             // Usage
        0xA1, 0x01,             // Collection (application)
        0x15, 0x00,             // Logical Minimum 0
        0x26, 0xFF, 0x00,       // Logical Maximum 255
        0x75, 0x08,             // Report Size 8
        0x95, 0x3F,             // Report Count 63
        0x85, 0x01,             // Report ID 1
        0x09, 0x01, 0x91, 0x02, // Output
        0x85, 0x02,             // Report ID 2
        0x09, 0x01, 0x81, 0x02, // Input
        0x85, 0x03,             // Report ID 3
        0x09, 0x01, 0x91, 0x02, // Output
        0xC0,                   // End Collection
    };
}

std::vector<uint8_t> TakeReport(int peer) {
    std::vector<uint8_t> report(1024);
    ssize_t got = ::recv(peer, report.data(), report.size(), MSG_DONTWAIT);
    report.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return report;
}

void SendReport(int peer, const std::vector<uint8_t>& report) {
    if (::send(peer, report.data(), report.size(), MSG_NOSIGNAL) != ssize_t(report.size())) {
        throw std::runtime_error("send to the port failed");
    }
}

bool HungUp(int peer) {
    pollfd entry{peer, POLLIN, 0};
    return ::poll(&entry, 1, 0) == 1 && (entry.revents & POLLHUP);
}

FakeHidraw::FakeHidraw() {
    // In memory where possible: the 64-device walk builds and removes hundreds of entries.
    std::string pattern = fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    pattern += "/corvane-hidraw-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_root = fs::canonical(pattern).string();
    fs::create_directories(m_root + "/sys/class/hidraw");
}

FakeHidraw::~FakeHidraw() {
    for (int fd : m_peers) {
        ::close(fd);
    }
    for (const auto& [fd, number] : m_openFds) {
        ::close(fd);
    }
    for (const auto& [fd, lockFd] : m_lockFds) {
        ::close(lockFd);
    }
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

std::string FakeHidraw::AddNode(int number, const std::string& hidName, HidRawInfo info,
                                std::vector<uint8_t> descriptor) {
    const std::string name = "hidraw" + std::to_string(number);
    const fs::path device =
        fs::path(SysfsRoot()) / "devices/virtual/usb1/1-2" / hidName / "hidraw" / name;
    fs::create_directories(device);
    fs::create_symlink(device, fs::path(SysfsRoot()) / "class/hidraw" / name);
    Node& node = m_nodes[number];
    node.info = info;
    node.descriptor = std::move(descriptor);
    return device.string();
}

std::string FakeHidraw::AddDongle(int number) {
    char hidName[32];
    std::snprintf(hidName, sizeof hidName, "0003:10C4:82FC.%04X", number + 1);
    return AddNode(number, hidName, {3, kDongleVendorId, kDongleProductId});
}

void FakeHidraw::RemoveNode(int number) {
    const std::string name = "hidraw" + std::to_string(number);
    const fs::path link = fs::path(SysfsRoot()) / "class/hidraw" / name;
    std::error_code ignored;
    fs::remove_all(fs::read_symlink(link, ignored), ignored);
    fs::remove(link, ignored);
    auto it = m_nodes.find(number);
    if (it != m_nodes.end() && it->second.peer >= 0) {
        ::shutdown(it->second.peer, SHUT_RDWR);
    }
    m_nodes.erase(number);
}

int FakeHidraw::Peer(int number) const {
    auto it = m_nodes.find(number);
    return it == m_nodes.end() ? -1 : it->second.peer;
}

int FakeHidraw::Opens(int number) const {
    auto it = m_nodes.find(number);
    return it == m_nodes.end() ? 0 : it->second.opens;
}

const FakeHidraw::Node* FakeHidraw::NodeOf(int fd) const {
    auto it = m_openFds.find(fd);
    if (it == m_openFds.end()) {
        return nullptr;
    }
    auto node = m_nodes.find(it->second);
    return node == m_nodes.end() ? nullptr : &node->second;
}

FakeHidraw::Node* FakeHidraw::MutableNodeOf(int fd) {
    return const_cast<Node*>(NodeOf(fd));
}

int FakeHidraw::Open(const std::string& path, int /*flags*/) {
    const std::string name = fs::path(path).filename().string();
    calls.push_back("open " + name);
    const std::string prefix = DeviceDir() + "/hidraw";
    if (path.rfind(prefix, 0) != 0) {
        return -ENOENT;
    }
    auto it = m_nodes.find(std::atoi(path.c_str() + prefix.size()));
    if (it == m_nodes.end()) {
        return -ENOENT;
    }
    Node& node = it->second;
    if (node.openError != 0) {
        return -node.openError;
    }
    int pair[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair) < 0) {
        return -errno;
    }
    ++node.opens;
    node.peer = pair[1];
    m_peers.push_back(pair[1]);
    m_openFds[pair[0]] = it->first;
    const std::string lockFile = m_root + "/hidraw" + std::to_string(it->first) + ".lock";
    m_lockFds[pair[0]] = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return pair[0];
}

int FakeHidraw::Close(int fd) {
    calls.push_back("close");
    m_openFds.erase(fd);
    if (auto it = m_lockFds.find(fd); it != m_lockFds.end()) {
        ::close(it->second);
        m_lockFds.erase(it);
    }
    return ::close(fd) < 0 ? -errno : 0;
}

int FakeHidraw::Lock(int fd) {
    calls.push_back("lock");
    if (const Node* node = NodeOf(fd); node != nullptr && node->lockError != 0) {
        return -node->lockError;
    }
    auto it = m_lockFds.find(fd);
    if (it == m_lockFds.end() || it->second < 0) {
        return -EBADF;
    }
    return ::flock(it->second, LOCK_EX | LOCK_NB) < 0 ? -errno : 0;
}

int FakeHidraw::Poll(int fd, short events, int timeoutMs, short& revents) {
    calls.push_back("poll");
    pollfd entry{fd, events, 0};
    int result = ::poll(&entry, 1, timeoutMs);
    revents = entry.revents;
    return result < 0 ? -errno : result;
}

ssize_t FakeHidraw::Read(int fd, void* buffer, size_t size) {
    calls.push_back("read");
    if (Node* node = MutableNodeOf(fd); node && node->readError != 0) {
        const int error = node->readError;
        node->readError = 0;
        return -error;
    }
    ssize_t result = ::recv(fd, buffer, size, 0);
    return result < 0 ? -errno : result;
}

void FakeHidraw::StallWrites() {
    std::lock_guard lock(m_gateLock);
    m_stalled = true;
}

void FakeHidraw::LetWritesThrough() {
    std::lock_guard lock(m_gateLock);
    m_stalled = false;
    m_gate.notify_all();
}

void FakeHidraw::WaitForStalledWrite() {
    std::unique_lock lock(m_gateLock);
    m_gate.wait(lock, [this] { return m_stalledWrites > 0; });
}

ssize_t FakeHidraw::Write(int fd, const void* bytes, size_t size) {
    calls.push_back("write");
    if (std::unique_lock lock(m_gateLock); m_stalled) {
        ++m_stalledWrites;
        m_gate.notify_all();
        m_gate.wait(lock, [this] { return !m_stalled; });
        --m_stalledWrites;
    }
    if (Node* node = MutableNodeOf(fd); node && node->writeCut >= 0) {
        size = std::min(size, static_cast<size_t>(node->writeCut));
        node->writeCut = -1;
    }
    ssize_t result = ::send(fd, bytes, size, MSG_NOSIGNAL);
    return result < 0 ? -errno : result;
}

bool FakeHidraw::GetRawInfo(int fd, HidRawInfo& info) {
    calls.push_back("rawinfo");
    const Node* node = NodeOf(fd);
    if (node) {
        info = node->info;
    }
    return node != nullptr;
}

bool FakeHidraw::GetReportDescriptor(int fd, std::vector<uint8_t>& descriptor) {
    calls.push_back("rdesc");
    const Node* node = NodeOf(fd);
    if (node) {
        descriptor = node->descriptor;
    }
    return node != nullptr;
}

} // namespace corvane::test
