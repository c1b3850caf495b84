#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <numeric>

#include "FakeHidraw.h"
#include "USBDevice.h"

namespace corvane {
namespace {

using test::SendReport;
using test::TakeReport;
using Bytes = std::vector<uint8_t>;

// The dongle opened, its hello report taken off the line.
class DongleIo : public ::testing::Test {
protected:
    void SetUp() override {
        fake.AddDongle(0);
        ASSERT_TRUE(port.Open());
        peer = fake.Peer(0);
        hello = TakeReport(peer);
    }

    // What a read of this report leaves at the buffer's start, and the count returned.
    std::pair<int, Bytes> ReadOf(const Bytes& report, int capacity = 1024) {
        SendReport(peer, report);
        Bytes buffer(capacity + 4, 0xEE);
        int n = port.Read(buffer.data(), capacity);
        EXPECT_TRUE(std::all_of(buffer.end() - 4, buffer.end(), [](int b) { return b == 0xEE; }));
        return {n, Bytes(buffer.begin(), buffer.begin() + std::max(n, 0))};
    }

    test::FakeHidraw fake;
    USBDevice port{fake};
    int peer = -1;
    Bytes hello;
};

TEST_F(DongleIo, HelloThenDataReportsFilledToOutputLength) {
    Bytes expected(64, 0);
    expected[0] = 0x03;
    expected[1] = expected[2] = 0x01;
    EXPECT_EQ(hello, expected);

    const Bytes payload{0xAA, 0xBB, 0xCC};
    EXPECT_EQ(port.Write(payload.data(), 3), 3);
    expected = Bytes(64, 0);
    expected[0] = 0x01;
    expected[1] = 3;
    std::copy(payload.begin(), payload.end(), expected.begin() + 2);
    EXPECT_EQ(TakeReport(peer), expected);
}

TEST_F(DongleIo, LongPayloadIsCutToOneReportAndTheReturnSaysSo) {
    Bytes payload(100);
    std::iota(payload.begin(), payload.end(), uint8_t{0});
    EXPECT_EQ(port.Write(payload.data(), int(payload.size())), 62);

    const Bytes report = TakeReport(peer);
    ASSERT_EQ(report.size(), 64u);
    EXPECT_EQ(report[1], 62);
    EXPECT_TRUE(std::equal(report.begin() + 2, report.end(), payload.begin()));
}

TEST_F(DongleIo, InputReportsAreUnwrapped) {
    EXPECT_EQ(ReadOf({0x02, 0x03, 0x11, 0x22, 0x33, 0x00}), std::pair(3, Bytes{0x11, 0x22, 0x33}));
    EXPECT_EQ(ReadOf({0x02, 0x00, 0x44}).first, 0);
    EXPECT_EQ(ReadOf({0x02}).first, 0);
    // Another report ID carries no ESC bytes: nothing of it reaches the byte stream.
    EXPECT_EQ(ReadOf({0x05, 0x02, 0x11}).first, 0);
    EXPECT_EQ(ReadOf({0x01, 0x01, 0xF1}).first, 0);
}

TEST_F(DongleIo, OnlyPayloadThatLeftIsCounted) {
    const Bytes payload(20, 0x5A);
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {12, 10}};
    for (const auto& [cut, counted] : cases) {
        fake.CutNextWrite(0, cut);
        EXPECT_EQ(port.Write(payload.data(), 20), counted) << cut << " bytes of the report left";
        TakeReport(peer);
    }
    EXPECT_EQ(port.Write(payload.data(), 20), 20);
}

TEST_F(DongleIo, LengthByteIsTrustedOnlyAsFarAsTheBytesRead) {
    EXPECT_EQ(ReadOf({0x02, 0xFF, 0x11, 0x22, 0x33}), std::pair(3, Bytes{0x11, 0x22, 0x33}));
    // A short buffer is not overrun: the report is cut to it, and the payload with it.
    EXPECT_EQ(ReadOf({0x02, 0x04, 0x11, 0x22, 0x33, 0x44}, 4), std::pair(2, Bytes{0x11, 0x22}));
}

TEST_F(DongleIo, HangUpClosesThePortButLeavesTheHandleToTheWorker) {
    ::close(peer);
    Bytes buffer(1024);
    EXPECT_EQ(port.Read(buffer.data(), 1024), 0);
    EXPECT_EQ(port.GetState(), PORT_CLOSED);
    EXPECT_TRUE(port.HoldsDevice());

    port.SetState(PORT_OPEN);
    EXPECT_EQ(port.Write(buffer.data(), 3), 0);
    EXPECT_EQ(port.GetState(), PORT_CLOSED);
}

// Readable, yet the read fails for a reason other than a gone device: the pass still waits its
// bounded time instead of handing the worker straight back to the node.
TEST_F(DongleIo, AFailingReadStillWaitsOutThePass) {
    for (const int error : {EAGAIN, EINTR}) {
        fake.FailNextRead(0, error);
        SendReport(peer, {0x02, 0x01, 0xF7});
        fake.calls.clear();
        Bytes buffer(1024);
        EXPECT_EQ(port.Read(buffer.data(), 1024), 0);
        EXPECT_EQ(fake.calls, (std::vector<std::string>{"poll", "read", "poll"})) << error;
        EXPECT_EQ(port.GetState(), PORT_OPEN);
        port.Read(buffer.data(), 1024); // the report itself
    }
}

TEST_F(DongleIo, ReadFailingWithEioClosesThePort) {
    fake.FailNextRead(0, EIO);
    SendReport(peer, {0x02, 0x01, 0xF7});
    Bytes buffer(1024);
    EXPECT_EQ(port.Read(buffer.data(), 1024), 0);
    EXPECT_EQ(port.GetState(), PORT_CLOSED);
    EXPECT_TRUE(port.HoldsDevice());
}

TEST_F(DongleIo, AfterCloseNothingTouchesTheSystemAndTheStateStays) {
    port.SetState(PORT_ESC_READY);
    EXPECT_TRUE(port.Close());
    EXPECT_FALSE(port.HoldsDevice());
    EXPECT_EQ(port.GetState(), PORT_ESC_READY);

    fake.calls.clear();
    Bytes buffer(1024);
    EXPECT_EQ(port.Write(buffer.data(), 3), 0);
    EXPECT_EQ(port.Read(buffer.data(), 1024), 0);
    EXPECT_TRUE(fake.calls.empty());
}

// A device with the dongle's IDs whose output reports hold more than 255 payload bytes: the
// length byte cannot say more, so no report may carry more, and the return must agree.
TEST(LongReportDongle, PayloadStopsAtWhatTheLengthByteCanCount) {
    const Bytes descriptor = {
        0x06, 0x00, 0xFF,       // Usage Page (vendor)
        0x09, 0x01,             // Usage
        0xA1, 0x01,             // Collection (application)
        0x75, 0x08,             // Report Size 8
        0x96, 0x2B, 0x01,       // Report Count 299
        0x85, 0x01,             // Report ID 1
        0x09, 0x01, 0x91, 0x02, // Output
        0x85, 0x03,             // Report ID 3
        0x09, 0x01, 0x91, 0x02, // Output
        0x95, 0x3F,             // Report Count 63
        0x85, 0x02,             // Report ID 2
        0x09, 0x01, 0x81, 0x02, // Input
        0xC0,                   // End Collection
    };
    test::FakeHidraw fake;
    fake.AddNode(0, "0003:10C4:82FC.0001", {3, kDongleVendorId, kDongleProductId}, descriptor);
    USBDevice port{fake};
    ASSERT_TRUE(port.Open());
    const int peer = fake.Peer(0);
    ASSERT_EQ(TakeReport(peer).size(), 300u); // the hello report

    Bytes payload(298);
    std::iota(payload.begin(), payload.end(), uint8_t{0});
    const int taken = port.Write(payload.data(), int(payload.size()));
    const Bytes report = TakeReport(peer);
    ASSERT_EQ(report.size(), 300u);
    EXPECT_EQ(taken, 255);
    EXPECT_EQ(report[1], 255);
    EXPECT_TRUE(std::equal(report.begin() + 2, report.begin() + 257, payload.begin()));
    EXPECT_TRUE(std::all_of(report.begin() + 257, report.end(), [](int b) { return b == 0; }));
}

} // namespace
} // namespace corvane
