// The window over the real dongle port and a fake hidraw tree whose dongle node refuses us or
// is held by another program: each line comes once per plug-in, however many searches meet
// it; and a dongle pulled while another is plugged in hands over to the other.
#include <cerrno>
#include <memory>

#include <QCoreApplication>
#include <QListWidget>
#include <QStringList>
#include <gtest/gtest.h>

#include "CCorvaneProgPanelDlg.h"
#include "FakeHidraw.h"
#include "ManualClock.h"
#include "USBDevice.h"

using namespace corvane;
using namespace corvane::test;

namespace {

const QString kAccessLine = "USB dongle found but access denied: install the udev rule "
                            "(70-corvane-dongle.rules) and re-plug the dongle.";

class AccessLine : public ::testing::Test {
protected:
    ManualClock clock;
    FakeHidraw hid;
    const std::string dongle = hid.AddDongle(2);
    const std::string mouse = hid.AddNode(4, "0003:046D:C077.0005", {3, 0x046D, 0xC077});
    USBDevice port{hid};
    std::unique_ptr<CCorvaneProgPanelDlg> window;

    void Open() {
        CCorvaneProgPanelDlg::Options options;
        options.startWorker = false;
        options.clock = &clock;
        window = std::make_unique<CCorvaneProgPanelDlg>(port, options);
    }
    void TearDown() override { window.reset(); }

    QStringList Lines() const {
        QStringList lines;
        for (int i = 0; i < window->StatusList()->count(); ++i) {
            lines << window->StatusList()->item(i)->text();
        }
        return lines;
    }
    // Each notice, then the worker's pass that makes the search it noted, and the window
    // hearing what came of it.
    void Arrive(const std::string& path) {
        window->Connection().Dongles().OnDeviceChange(true, path), Serve();
    }
    void Leave(const std::string& path) {
        window->Connection().Dongles().OnDeviceChange(false, path), Serve();
    }
    void Retry() { window->Connection().Dongles().Retry(), Serve(); }
    void Serve() {
        if (port.GetState() == PORT_CLOSED) {
            window->Connection().Link().RunPass();
        }
        QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(AccessLine, ShownOnceAtStartUpHoweverOftenTheRefusalIsMet) {
    hid.RefuseOpen(2, EACCES);
    Open();
    const QStringList atStart{"Waiting USB dongle...", kAccessLine};
    EXPECT_EQ(Lines(), atStart);
    // Every arrival searches again and meets the same refusal.
    Arrive(dongle);
    Arrive(mouse);
    Leave(mouse); // not the dongle: the plug-in goes on
    Arrive(mouse);
    EXPECT_EQ(Lines(), atStart);
}

TEST_F(AccessLine, EachNewPlugInIsToldAgain) {
    hid.RefuseOpen(2, EPERM);
    Open();
    Leave(dongle);
    EXPECT_EQ(Lines().size(), 2) << "the port never held it: nothing to clear";
    Arrive(dongle);
    Arrive(dongle);
    EXPECT_EQ(Lines(), (QStringList{"Waiting USB dongle...", kAccessLine, kAccessLine}));
}

TEST_F(AccessLine, ComesBackAfterTheDongleOpenedAndWasPulled) {
    hid.RefuseOpen(2, EACCES);
    Open();
    hid.RefuseOpen(2, 0); // the rule is installed and the dongle re-plugged
    Arrive(dongle);
    EXPECT_EQ(Lines(), (QStringList{"Waiting USB dongle...", kAccessLine, "USB dongle connected.",
                                    "Waiting ESC..."}));
    hid.RemoveNode(2);
    Leave(dongle);
    hid.AddDongle(2);
    hid.RefuseOpen(2, EACCES); // the rule removed again
    Arrive(dongle);
    Arrive(mouse);
    EXPECT_EQ(Lines(), (QStringList{"Waiting USB Dongle...", kAccessLine}));
}

// A refusal the worker met before the dongle was pulled, heard of after: it belongs to the
// plug-in that ended, and the next plug-in is told again.
TEST_F(AccessLine, RefusalHeardOfAfterThePullIsNotShown) {
    hid.RefuseOpen(2, EACCES);
    Open();
    window->Connection().Dongles().OnDeviceChange(true, dongle);
    window->Connection()
        .Link()
        .RunPass(); // the search meets the refusal; the window has not heard yet
    hid.RemoveNode(2);
    Leave(dongle);
    EXPECT_EQ(Lines().count(kAccessLine), 1);
    hid.AddDongle(2);
    hid.RefuseOpen(2, EACCES);
    Arrive(dongle);
    EXPECT_EQ(Lines().count(kAccessLine), 2);
}

TEST_F(AccessLine, NotShownWhenNothingOfOursIsRefused) {
    hid.RefuseOpen(4, EACCES); // someone else's device
    hid.RefuseOpen(2, EBUSY);  // ours, but not a question of permissions
    Open();
    Arrive(dongle);
    Arrive(mouse);
    EXPECT_EQ(Lines(), QStringList{"Waiting USB dongle..."});
}

TEST_F(AccessLine, ReadableInFullInTheNarrowList) {
    hid.RefuseOpen(2, EACCES);
    Open();
    window->show();
    QListWidget* list = window->StatusList();
    const QRect access = list->visualItemRect(list->item(1));
    EXPECT_GE(access.height(), 3 * list->fontMetrics().height()) << "wrapped, not cut short";
    EXPECT_TRUE(list->viewport()->rect().contains(access));
    // The next line comes into view below it without scrolling all of it away.
    hid.RefuseOpen(2, 0);
    Arrive(dongle);
    QCoreApplication::processEvents();
    const QRect newest = list->visualItemRect(list->item(list->count() - 1));
    EXPECT_TRUE(list->viewport()->rect().contains(newest));
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualItemRect(list->item(1))));
}

// A second copy of this program holds the dongle: told once per plug-in, and the dongle is
// taken at the next retry after the other lets go, with no re-plug.
TEST_F(AccessLine, DongleHeldByAnotherProgramIsTakenOnceItLetsGo) {
    const QString inUse = "USB dongle in use by another program.";
    auto other = std::make_unique<USBDevice>(hid);
    ASSERT_TRUE(other->Open());
    Open();
    EXPECT_EQ(Lines(), (QStringList{"Waiting USB dongle...", inUse}));
    EXPECT_TRUE(window->Connection().Dongles().RetryActive());
    Retry();
    // The mouse's arrival is searched from the mouse on, and misses the dongle listed first:
    // that must not end the retries.
    Arrive(mouse);
    EXPECT_TRUE(window->Connection().Dongles().RetryActive());
    Retry();
    EXPECT_EQ(Lines().count(inUse), 1);
    EXPECT_FALSE(port.HoldsDevice());

    other.reset(); // the other program ends
    Retry();
    EXPECT_EQ(Lines(), (QStringList{"Waiting USB dongle...", inUse, "USB dongle connected.",
                                    "Waiting ESC..."}));
    EXPECT_FALSE(window->Connection().Dongles().RetryActive());

    // Pulled, and plugged in while the other program runs again: a new plug-in, told again.
    hid.RemoveNode(2);
    Leave(dongle);
    window->Connection().Link().RunPass();
    hid.AddDongle(2);
    other = std::make_unique<USBDevice>(hid);
    ASSERT_TRUE(other->Open());
    Arrive(dongle);
    EXPECT_EQ(Lines().count(inUse), 1);
    EXPECT_EQ(Lines().last(), inUse);
}

// The dongle held elsewhere is pulled: a whole search that finds none, held or not, ends the
// retries rather than looking once a second for ever.
TEST_F(AccessLine, RetriesEndOnceNoDongleIsLeft) {
    auto other = std::make_unique<USBDevice>(hid);
    ASSERT_TRUE(other->Open());
    Open();
    ASSERT_TRUE(window->Connection().Dongles().RetryActive());
    other.reset();
    hid.RemoveNode(2);
    Retry();
    EXPECT_FALSE(window->Connection().Dongles().RetryActive());
}

TEST_F(AccessLine, PullingTheOpenDongleOpensAnotherStillPluggedIn) {
    const std::string spare = hid.AddDongle(7);
    Open();
    ASSERT_EQ(port.DevicePath(), dongle);
    window->Connection().Link().RunPass(); // waiting for the ESC
    hid.RemoveNode(2);
    Leave(dongle); // the worker's pass lets the old one go, then searches
    EXPECT_EQ(port.DevicePath(), spare);
    EXPECT_EQ(port.GetState(), PORT_OPEN);
    EXPECT_EQ(Lines(), (QStringList{"Waiting USB Dongle...", "ESC Disconnected.", "Waiting ESC...",
                                    "USB dongle connected.", "Waiting ESC..."}));
    // The worker starts over on the new one.
    window->Connection().Link().RunPass();
    window->Connection().Link().RunPass();
    EXPECT_TRUE(port.HoldsDevice());
    EXPECT_EQ(window->Connection().Link().GetLinkState(), LINK_WAIT_ESC);
}
