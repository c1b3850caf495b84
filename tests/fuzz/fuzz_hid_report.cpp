// Arbitrary dongles for the hidraw port: the fuzzer's report descriptor, then a series of input
// reports, writes and hot-plug notices over a seam with no system behind it. The descriptor
// parser must answer from inside the descriptor. Read must hand up no more than its buffer
// holds and, for a data report (ID 2), no more payload than came behind the ID and length
// bytes; any other report gives nothing. Write must wrap exactly the bytes it says it took
// into one report of the device's output length, and count none that did not leave. A dongle
// another program has locked is never held. The port holds a descriptor exactly while the
// seam has it open.
#include <memory>
#include <optional>
#include <string>

#include "FuzzInput.h"
#include "ReportDescriptor.h"
#include "ScriptedHid.h"
#include "USBDevice.h"

namespace {

using namespace corvane;
using corvane::fuzz::ByteReader;
using corvane::fuzz::Require;
using corvane::fuzz::ScriptedHid;

class Harness {
public:
    explicit Harness(ByteReader& in) : m_in(in) {
        m_hid.descriptor = m_in.Take(m_in.Next());
        m_lengths = ParseReportLengths(m_hid.descriptor);
        if ((m_in.Next() & 7) == 7) {
            m_hid.product = kDongleProductId + 1; // the IDs in the path lie
        }
    }

    void Run() {
        Arrive();
        while (!m_in.Empty()) {
            switch (m_in.Next() % 4) {
            case 0:
            case 1:
                ReadReport();
                break;
            case 2:
                WriteReport();
                break;
            case 3:
                Notice();
                break;
            }
            Require(m_hid.IsOpen() == m_port.HoldsDevice());
        }
    }

private:
    // The dongle's interface declares data out (1) and hello out (3) and data in (2), each of
    // 63 bytes or more; the IDs in the path must be the dongle's, and its node not held.
    bool Opens() const {
        return m_lengths.has_value() && m_lengths->outputBytes[1] >= 63 &&
               m_lengths->outputBytes[3] >= 63 && m_lengths->inputBytes[2] >= 63 &&
               m_hid.product == kDongleProductId && m_hid.lockResult == 0;
    }

    void Arrive() {
        const bool closed = m_port.GetState() == PORT_CLOSED;
        const bool held = m_port.HoldsDevice();
        m_hid.pollResult = 1;
        m_hid.pollRevents = POLLOUT;
        m_hid.writeResult = 0;
        m_hid.written.clear();
        m_hid.lockResult = (m_in.Next() & 15) == 15 ? -EWOULDBLOCK : 0;
        const bool opened = m_port.OnDeviceArrival(m_path);
        if (!closed) {
            Require(!opened && m_port.HoldsDevice() == held);
            return;
        }
        Require(opened == Opens() && m_port.HoldsDevice() == opened);
        Require(m_port.DongleInUse() ==
                (m_hid.lockResult != 0 && m_hid.product == kDongleProductId));
        m_nOutputLength = opened ? m_lengths->output : 0;
        if (!opened) {
            return;
        }
        // The hello report: ID 3, one byte 0x01, zeros to the end.
        if (m_nOutputLength < 2) {
            Require(m_hid.written.empty());
            return;
        }
        Require(m_hid.written.size() == m_nOutputLength && m_hid.written[0] == 3);
        const size_t n = m_nOutputLength > 2 ? 1 : 0;
        Require(m_hid.written[1] == n && (n == 0 || m_hid.written[2] == 0x01));
        RequireZeros(m_hid.written, 2 + n);
    }

    void ReadReport() {
        const int capacity = m_in.Next16() % 1100;
        const uint8_t mode = m_in.Next();
        m_hid.pollResult = (mode & 3) == 0 ? 0 : 1;
        m_hid.pollRevents = (mode & 12) == 4 ? POLLHUP : (mode & 12) == 8 ? POLLERR : POLLIN;
        m_hid.readError = (mode & 48) == 16 ? EIO : (mode & 48) == 32 ? EAGAIN : 0;
        m_hid.report = m_in.Take(m_in.Next());

        // Exactly the capacity, so that any byte beyond it is caught.
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(capacity)]);
        const bool held = m_port.HoldsDevice();
        const int callsBefore = m_hid.calls;
        const int n = m_port.Read(buffer.get(), capacity);
        Require(n >= 0 && n <= capacity);
        if (!held || capacity == 0) {
            Require(n == 0 && m_hid.calls == callsBefore);
            return;
        }
        if (m_hid.pollResult <= 0 || m_hid.pollRevents != POLLIN || m_hid.readError != 0) {
            Require(n == 0);
            return;
        }
        const std::vector<uint8_t>& report = m_hid.report;
        const size_t got = std::min(report.size(), static_cast<size_t>(capacity));
        const size_t count = static_cast<size_t>(n);
        if (got < 2) {
            Require(n == 0);
        } else if (report[0] != 2) {
            Require(n == 0); // a foreign report never reaches the byte stream
        } else {
            Require(count <= got - 2 && count <= report[1]);
            Require(std::equal(buffer.get(), buffer.get() + count, report.begin() + 2));
        }
    }

    void WriteReport() {
        const uint8_t mode = m_in.Next();
        const std::vector<uint8_t> bytes = m_in.Take(m_in.Next16() % 700);
        m_hid.pollResult = (mode & 3) == 0 ? 0 : 1;
        m_hid.pollRevents = (mode & 12) == 4 ? POLLHUP : POLLOUT;
        m_hid.writeResult = (mode & 48) == 16   ? -ENODEV
                            : (mode & 48) == 32 ? -EAGAIN
                            : (mode & 48) == 48 ? (mode >> 6) + 1 // the device took only a little
                                                : 0;
        m_hid.written.clear();
        // An exact copy, so that a read beyond the count is caught.
        std::unique_ptr<uint8_t[]> copy(new uint8_t[bytes.size() + 1]);
        std::copy(bytes.begin(), bytes.end(), copy.get());
        const int count = static_cast<int>(bytes.size());

        const bool held = m_port.HoldsDevice();
        const int callsBefore = m_hid.calls;
        const int taken = m_port.Write(copy.get(), count);
        Require(taken >= 0 && taken <= count);
        if (!held || m_nOutputLength < 2) {
            Require(taken == 0 && m_hid.calls == callsBefore);
            return;
        }
        const size_t room = m_nOutputLength - 2u;
        Require(static_cast<size_t>(taken) <= room);
        if (m_hid.written.empty()) {
            Require(taken == 0);
            return;
        }
        // What went out: ID 1, the length byte, the bytes, zeros. The length byte must say
        // every byte the port reports as taken.
        const std::vector<uint8_t>& report = m_hid.written;
        Require(report.size() == m_nOutputLength && report[0] == 1);
        const size_t length = report[1];
        Require(length <= room && length <= bytes.size() && static_cast<size_t>(taken) <= length);
        // A cut write counts only the payload behind the two header bytes that left.
        if (m_hid.writeResult > 0) {
            Require(taken ==
                    std::max<int>(0, std::min<int>(int(m_hid.writeResult) - 2, int(length))));
        } else if (m_hid.writeResult == 0) {
            Require(static_cast<size_t>(taken) == length);
        }
        Require(std::equal(bytes.begin(), bytes.begin() + length, report.begin() + 2));
        RequireZeros(report, 2 + length);
    }

    void Notice() {
        switch (m_in.Next() % 4) {
        case 0: {
            // Ours, maybe in other letter case.
            std::string path = m_path;
            if (m_in.Next() & 1) {
                for (char& c : path) {
                    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                }
            }
            if (m_port.OnDeviceRemoval(path)) {
                Require(m_port.GetState() == PORT_CLOSED);
            }
            break;
        }
        case 1:
            Require(!m_port.OnDeviceRemoval(m_path + "0"));
            break;
        case 2:
            Arrive();
            break;
        case 3:
            m_port.Close();
            m_nOutputLength = 0;
            break;
        }
    }

    static void RequireZeros(const std::vector<uint8_t>& report, size_t from) {
        for (size_t i = from; i < report.size(); ++i) {
            Require(report[i] == 0);
        }
    }

    ByteReader& m_in;
    ScriptedHid m_hid;
    USBDevice m_port{m_hid};
    std::optional<ReportLengths> m_lengths;
    size_t m_nOutputLength = 0;
    const std::string m_path =
        "/nonexistent-corvane-fuzz/sys/devices/usb1/1-2/0003:10C4:82FC.0001/hidraw/hidraw0";
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    Harness harness(in);
    harness.Run();
    return 0;
}
