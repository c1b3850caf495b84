#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <future>

#include "FakeHidraw.h"
#include "USBDevice.h"

namespace corvane {
namespace {

using test::FakeHidraw;
using test::TakeReport;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

// Two dongles present; the port opened the first.
class Notices : public ::testing::Test {
protected:
    void SetUp() override {
        first = fake.AddDongle(0);
        second = fake.AddDongle(5);
        ASSERT_TRUE(port.Open());
        TakeReport(fake.Peer(0));
    }

    FakeHidraw fake;
    USBDevice port{fake};
    std::string first, second;
};

TEST_F(Notices, ArrivalWhileOpenIsIgnored) {
    EXPECT_FALSE(port.NoteArrival(second)) << "nothing to search for";
    EXPECT_FALSE(port.OnDeviceArrival(second));
    EXPECT_EQ(port.DevicePath(), first);
    EXPECT_EQ(fake.Opens(5), 0);
}

TEST_F(Notices, RemovalOfTheOpenDongleClosesThePort) {
    // Differing only in case, or given as udev's devpath without the sysfs mount.
    for (const std::string& path :
         {Upper(first), first.substr(fake.SysfsRoot().size()), first + "/"}) {
        port.SetState(PORT_ESC_READY);
        EXPECT_TRUE(port.OnDeviceRemoval(path)) << path;
        EXPECT_EQ(port.GetState(), PORT_CLOSED);
        EXPECT_TRUE(port.HoldsDevice());
    }
}

// Poll saw the hang-up before udev's notice came: the notice still names our dongle, also
// after another device's arrival came first (udev does not order them); and the next search
// opens the other dongle.
TEST_F(Notices, RemovalAfterAHangUpIsStillOurs) {
    fake.RemoveNode(5);
    fake.RemoveNode(0);
    std::vector<uint8_t> buffer(1024);
    EXPECT_EQ(port.Read(buffer.data(), 1024), 0);
    ASSERT_EQ(port.GetState(), PORT_CLOSED);
    const std::string mouse = fake.AddNode(7, "0003:046D:C077.0009", {3, 0x046D, 0xC077});
    EXPECT_FALSE(port.OnDeviceArrival(mouse));
    EXPECT_TRUE(port.OnDeviceRemoval(first));
    EXPECT_FALSE(port.OnDeviceRemoval(first)) << "once";
    second = fake.AddDongle(5);
    EXPECT_TRUE(port.Search());
    EXPECT_EQ(port.DevicePath(), second);
}

// A dongle that takes no output holds the worker's write in the kernel for seconds: the
// notices on the user-interface thread neither wait for it nor touch the device. A removal
// while the hello of an opening waits ends that opening.
TEST_F(Notices, NoticesDoNotWaitForAStalledWrite) {
    const auto whileStalled = [this](const std::function<bool()>& work,
                                     const std::function<bool()>& notices) {
        fake.StallWrites();
        std::future<bool> worker = std::async(std::launch::async, work);
        fake.WaitForStalledWrite();
        std::future<bool> window = std::async(std::launch::async, notices);
        // The limit only ends a failing run: a notice that waits for the write waits for ever.
        const bool prompt = window.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        fake.LetWritesThrough();
        EXPECT_TRUE(prompt) << "a notice waited for the write";
        EXPECT_TRUE(window.get());
        return worker.get();
    };
    const uint8_t byte = 0x55;
    EXPECT_EQ(whileStalled([&] { return port.Write(&byte, 1) == 1; },
                           [&] {
                               return !port.OnDeviceRemoval(second) &&
                                      port.OnDeviceRemoval(first) && port.NoteArrival(second);
                           }),
              true);
    const std::optional<PortBase::NotedSearch> search = port.TakeNotedSearch();
    ASSERT_TRUE(search);
    EXPECT_FALSE(whileStalled([&] { return port.OnDeviceArrival(search->path); },
                              [&] { return port.OnDeviceRemoval(second); }));
    EXPECT_FALSE(port.HoldsDevice());
    EXPECT_EQ(port.GetState(), PORT_CLOSED);
}

// Notices that come while the worker is held up fold: a walk over every device finds what
// any later search would, so what waits never grows past a bound, and ends in such a walk.
TEST_F(Notices, NoticesWhileTheWorkerIsHeldUpFold) {
    ASSERT_TRUE(port.OnDeviceRemoval(first));
    const auto noteAndTake = [this](int arrivals, bool searchFirst) {
        EXPECT_TRUE(!searchFirst || port.NoteSearch());
        for (int i = 0; i < arrivals; ++i) {
            EXPECT_TRUE(port.NoteArrival(second));
        }
        std::vector<bool> walks;
        while (const auto search = port.TakeNotedSearch()) {
            walks.push_back(search->wholeWalk);
        }
        return walks;
    };
    const std::vector<bool> many = noteAndTake(40, false);
    EXPECT_EQ(many.size(), 16u);
    EXPECT_TRUE(many.back());
    EXPECT_EQ(noteAndTake(3, true), std::vector<bool>{true});
}

TEST_F(Notices, RemovalOfAnotherDeviceIsIgnored) {
    EXPECT_FALSE(port.OnDeviceRemoval(second));
    EXPECT_FALSE(port.OnDeviceRemoval(first.substr(0, first.size() - 1)));
    EXPECT_EQ(port.GetState(), PORT_OPEN);

    port.SetState(PORT_CLOSED);
    EXPECT_FALSE(port.OnDeviceRemoval(first));
}

TEST_F(Notices, ReArrivalTriesTheArrivingDeviceFirstAndGreetsAgain) {
    ASSERT_TRUE(port.OnDeviceRemoval(first));
    port.Close();
    fake.calls.clear();

    EXPECT_TRUE(port.OnDeviceArrival(second));
    ASSERT_FALSE(fake.calls.empty());
    EXPECT_EQ(fake.calls.front(), "open hidraw5");
    EXPECT_EQ(port.DevicePath(), second);
    EXPECT_EQ(port.GetState(), PORT_OPEN);
    const std::vector<uint8_t> hello = TakeReport(fake.Peer(5));
    ASSERT_EQ(hello.size(), 64u);
    EXPECT_EQ(hello[0], 0x03);
}

TEST_F(Notices, SearchAfterTheOpenDongleWasPulledFindsTheOther) {
    fake.RemoveNode(0); // the other is now listed first
    ASSERT_TRUE(port.OnDeviceRemoval(first));
    EXPECT_TRUE(port.Search());
    EXPECT_EQ(port.DevicePath(), second);
    EXPECT_EQ(port.GetState(), PORT_OPEN);
    EXPECT_FALSE(port.Search()) << "searches only while closed";
    EXPECT_EQ(fake.Opens(5), 1);
}

// The worker reads the state, then takes the lock to close: an arrival may come in between.
TEST_F(Notices, WorkerClosesOnlyTheOpeningItSawFail) {
    const uint32_t failed = port.OpenSerial();
    ASSERT_TRUE(port.OnDeviceRemoval(first));
    ASSERT_TRUE(port.OnDeviceArrival(first)); // plugged in again before the worker came round
    const int peer = fake.Peer(0);
    EXPECT_FALSE(port.CloseFailed(failed));
    EXPECT_FALSE(port.CloseFailed(port.OpenSerial())) << "open, not failed";
    EXPECT_TRUE(port.HoldsDevice());
    EXPECT_FALSE(test::HungUp(peer));

    ASSERT_TRUE(port.OnDeviceRemoval(first));
    EXPECT_TRUE(port.CloseFailed(port.OpenSerial()));
    EXPECT_FALSE(port.HoldsDevice());
}

TEST_F(Notices, ArrivalBeforeTheWorkerClosedReleasesTheOldHandle) {
    const int oldPeer = fake.Peer(0);
    ASSERT_TRUE(port.OnDeviceRemoval(first));

    EXPECT_TRUE(port.OnDeviceArrival(first));
    EXPECT_TRUE(test::HungUp(oldPeer));
    EXPECT_EQ(fake.Opens(0), 2);
}

} // namespace
} // namespace corvane
