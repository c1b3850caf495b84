// A stand-in for the machine's hidraw devices: a sysfs tree in a temporary folder, and for
// each opened node a SOCK_SEQPACKET socket pair (one report per read), whose other end the
// test plays the dongle on. Every call through the seam is recorded.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "HidSystem.h"

namespace corvane::test {

// Report IDs 1 (data out), 2 (data in), 3 (hello out), 63 payload bytes each: 64-byte reports.
std::vector<uint8_t> DongleDescriptor();

// The next report that reached the dongle's end, empty when none is waiting.
std::vector<uint8_t> TakeReport(int peer);
// Hands the port one input report from the dongle's end.
void SendReport(int peer, const std::vector<uint8_t>& report);
// Whether the port's end of the pair has been closed.
bool HungUp(int peer);

class FakeHidraw : public HidSystem {
public:
    FakeHidraw();
    ~FakeHidraw() override;

    // Adds hidraw<number> below a HID device named hidName ("0003:10C4:82FC.0001");
    // returns its syspath.
    std::string AddNode(int number, const std::string& hidName, HidRawInfo info,
                        std::vector<uint8_t> descriptor = DongleDescriptor());
    // The dongle as hidraw<number>.
    std::string AddDongle(int number);
    // Opening the node fails with this errno.
    void RefuseOpen(int number, int error) { m_nodes[number].openError = error; }
    // Locking the node fails with this error instead of locking (ENOLCK on some filesystems).
    void FailLock(int number, int error) { m_nodes[number].lockError = error; }
    // The device is unplugged: its sysfs entry goes, and its open ends hang up.
    void RemoveNode(int number);
    // The next read of the node fails with this errno (EIO: what hidraw gives once the
    // device has left).
    void FailNextRead(int number, int error) { m_nodes[number].readError = error; }
    // The next write of the node takes only this many bytes of the report.
    void CutNextWrite(int number, int bytes) { m_nodes[number].writeCut = bytes; }
    // Writes wait, as hidraw's do for a dongle that takes no output (up to the kernel's 5 s),
    // until LetWritesThrough; WaitForStalledWrite returns once one is waiting.
    void StallWrites();
    void LetWritesThrough();
    void WaitForStalledWrite();
    // The dongle's end of the last opening of the node; -1 if never opened.
    int Peer(int number) const;
    // How many times the node was opened.
    int Opens(int number) const;

    std::string SysfsRoot() const override { return m_root + "/sys"; }
    std::string DeviceDir() const override { return m_root + "/dev"; }
    int Open(const std::string& path, int flags) override;
    int Close(int fd) override;
    int Poll(int fd, short events, int timeoutMs, short& revents) override;
    ssize_t Read(int fd, void* buffer, size_t size) override;
    ssize_t Write(int fd, const void* bytes, size_t size) override;
    bool GetRawInfo(int fd, HidRawInfo& info) override;
    bool GetReportDescriptor(int fd, std::vector<uint8_t>& descriptor) override;
    // flock on a file of the node's own, opened anew with every opening of the node, so
    // two ports (two programs) on one node contend exactly as on a real one.
    int Lock(int fd) override;

    // Every call, as "open hidraw3", "close", "poll", ...; nodes in opening order.
    std::vector<std::string> calls;

private:
    struct Node {
        HidRawInfo info;
        std::vector<uint8_t> descriptor;
        int openError = 0;
        int readError = 0;
        int lockError = 0;
        int writeCut = -1;
        int opens = 0;
        int peer = -1;
    };
    const Node* NodeOf(int fd) const;
    Node* MutableNodeOf(int fd);

    std::string m_root;
    std::map<int, Node> m_nodes;
    std::map<int, int> m_openFds; // device fd -> node number
    std::map<int, int> m_lockFds; // device fd -> its opening's lock file
    std::vector<int> m_peers;
    std::mutex m_gateLock;
    std::condition_variable m_gate;
    bool m_stalled = false;
    int m_stalledWrites = 0;
};

} // namespace corvane::test
