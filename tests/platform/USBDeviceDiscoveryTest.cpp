#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>

#include "FakeHidraw.h"
#include "USBDevice.h"

namespace corvane {
namespace {

using test::FakeHidraw;
using test::HungUp;

const HidRawInfo kOtherDevice{3, 0x046D, 0xC077};

std::string OtherName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "0003:046D:C077.%04X", number + 1);
    return name;
}

class Discovery : public ::testing::Test {
protected:
    FakeHidraw fake;
    USBDevice port{fake};
};

class DiscoveryByIdCase : public Discovery, public ::testing::WithParamInterface<const char*> {};

TEST_P(DiscoveryByIdCase, PathWithDongleIdsButOtherAttributesIsClosedAndSkipped) {
    fake.AddNode(0, GetParam(), kOtherDevice);
    const std::string dongle = fake.AddDongle(1);

    ASSERT_TRUE(port.Open());
    EXPECT_EQ(fake.Opens(0), 1);
    EXPECT_TRUE(HungUp(fake.Peer(0)));
    EXPECT_EQ(port.DevicePath(), dongle);
    EXPECT_EQ(port.GetState(), PORT_OPEN);
}

INSTANTIATE_TEST_SUITE_P(LowerAndUpper, DiscoveryByIdCase,
                         ::testing::Values("0003:10c4:82fc.0001", "0003:10C4:82FC.0001"));

TEST_F(Discovery, IdInMixedCaseOnlyIsNeverOpened) {
    const HidRawInfo dongle{3, kDongleVendorId, kDongleProductId};
    fake.AddNode(0, "0003:10C4:82Fc.0001", dongle);
    fake.AddNode(1, "0003:10c4:82fC.0002", dongle);

    EXPECT_FALSE(port.Open());
    EXPECT_EQ(fake.Opens(0) + fake.Opens(1), 0);
}

// Other interfaces on the dongle's ID (an input-only one, a keyboard-like one with no report
// IDs and a 1-byte output) are walked past to the interface that declares the dongle's reports.
TEST_F(Discovery, OnlyTheInterfaceWithTheDonglesReportsIsTaken) {
    const HidRawInfo id{3, kDongleVendorId, kDongleProductId};
    fake.AddNode(0, "0003:10C4:82FC.0001", id,
                 {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x3F, 0x85, 0x02,
                  0x09, 0x01, 0x81, 0x02, 0xC0});
    fake.AddNode(1, "0003:10C4:82FC.0002", id,
                 {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95,
                  0x08, 0x91, 0x02, 0xC0});
    const std::string dongle = fake.AddDongle(2);
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.DevicePath(), dongle);
    EXPECT_EQ(fake.Opens(0) + fake.Opens(1), 2) << "each looked at once, and let go";
}

// The IDs are the name's vendor and product fields, in that order: a device that holds both
// numbers elsewhere is never opened, nor its refusal reported as the dongle's.
TEST_F(Discovery, OnlyTheNamesVendorAndProductFieldsCount) {
    for (const char* name : {"0003:82FC:10C4.0001", "10C4:82FC:0001.0002"}) {
        FakeHidraw other;
        other.AddNode(0, name, {3, kDongleVendorId, kDongleProductId});
        other.RefuseOpen(0, EACCES);
        USBDevice foreign{other};
        EXPECT_FALSE(foreign.Open()) << name;
        EXPECT_FALSE(foreign.AccessDenied()) << name;
        EXPECT_EQ(other.Opens(0), 0) << name;
    }
}

TEST_F(Discovery, AbsentDongleLeavesPortClosedAndIoUntouched) {
    fake.AddNode(0, OtherName(0), kOtherDevice);

    EXPECT_FALSE(port.Open());
    EXPECT_EQ(port.GetState(), PORT_CLOSED);
    EXPECT_FALSE(port.HoldsDevice());
    EXPECT_EQ(port.DevicePath(), "");

    fake.calls.clear();
    uint8_t buffer[64] = {1, 2, 3};
    EXPECT_EQ(port.Write(buffer, 3), 0);
    EXPECT_EQ(port.Read(buffer, sizeof buffer), 0);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Discovery, WalkIsInNaturalNumericOrder) {
    fake.AddDongle(10);
    const std::string first = fake.AddDongle(2);

    ASSERT_TRUE(port.Open());
    EXPECT_EQ(port.DevicePath(), first);
    EXPECT_EQ(fake.Opens(10), 0);
}

TEST(DiscoveryLimit, OnlyTheFirstSixtyFourInterfacesAreLookedAt) {
    for (int dongleIndex : {63, 64}) {
        FakeHidraw fake;
        for (int number = 0; number < dongleIndex; ++number) {
            fake.AddNode(number, OtherName(number), kOtherDevice);
        }
        fake.AddDongle(dongleIndex);
        USBDevice port{fake};
        EXPECT_EQ(port.Open(), dongleIndex < USBDevice::kMaxInterfaces) << dongleIndex;
    }
}

TEST_F(Discovery, DeviceWithUnusableDescriptorIsSkipped) {
    fake.AddNode(0, "0003:10C4:82FC.0001", {3, kDongleVendorId, kDongleProductId},
                 {0x75, 0x08, 0x95});
    const std::string dongle = fake.AddDongle(1);

    ASSERT_TRUE(port.Open());
    EXPECT_TRUE(HungUp(fake.Peer(0)));
    EXPECT_EQ(port.DevicePath(), dongle);
}

TEST_F(Discovery, RefusedPermissionIsReportedPerWalk) {
    fake.AddDongle(0);
    fake.RefuseOpen(0, EBUSY);
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.AccessDenied());

    fake.RefuseOpen(0, EACCES);
    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(port.AccessDenied());

    fake.RefuseOpen(0, 0);
    EXPECT_TRUE(port.Open());
    EXPECT_FALSE(port.AccessDenied());
}

// A node that cannot be locked at all (no lock support) is not held by anyone: it is opened.
TEST_F(Discovery, NodeThatCannotBeLockedIsStillOpened) {
    fake.AddDongle(0);
    fake.FailLock(0, ENOLCK);
    EXPECT_TRUE(port.Open());
    EXPECT_FALSE(port.DongleInUse());
}

// hidraw lets a second program open the node too; every copy of ours locks it, and the
// second one leaves it alone without a byte written until the first lets go.
TEST_F(Discovery, DongleLockedByAnotherProgramIsLeftAlone) {
    fake.AddDongle(0);
    USBDevice other{fake};
    ASSERT_TRUE(other.Open());
    const int otherPeer = fake.Peer(0);
    test::TakeReport(otherPeer);

    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(port.DongleInUse());
    EXPECT_FALSE(port.AccessDenied());
    EXPECT_FALSE(port.HoldsDevice());
    EXPECT_EQ(fake.Opens(0), 2);
    EXPECT_TRUE(HungUp(fake.Peer(0)));
    EXPECT_TRUE(test::TakeReport(fake.Peer(0)).empty()) << "not even a hello";
    EXPECT_TRUE(test::TakeReport(otherPeer).empty());

    other.Close();
    EXPECT_TRUE(port.Search());
    EXPECT_FALSE(port.DongleInUse());
    EXPECT_EQ(port.GetState(), PORT_OPEN);
}

} // namespace
} // namespace corvane
