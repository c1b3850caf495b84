// Start-up, dongle notices, identification, the parameter read and the link-lost path, with
// every status line as the user reads it.
#include "ControllerFixture.h"

using namespace corvane;
using namespace corvane::test;

using Connection = ControllerFixture;

TEST_F(Connection, StartUpLineSaysWhatWeWaitFor) {
    Open(true);
    EXPECT_EQ(Lines(), QStringList{"Waiting ESC..."});
    controller.reset();
    port.PlugDongle(false);
    Open(false);
    EXPECT_EQ(Lines(), QStringList{"Waiting USB dongle..."});
}

TEST_F(Connection, DongleArrivalAndRemoval) {
    Open(false);
    controller->Dongles().OnDeviceChange(
        true, "/sys/devices/pci0000:00/0003:046D:C077.0002/hidraw/hidraw1");
    EXPECT_EQ(Lines(), QStringList{"Waiting USB dongle..."}); // someone else's device
    port.PlugDongle(true);
    controller->Dongles().OnDeviceChange(true, sim::SimPort::kDevicePath);
    Pump(); // the worker opens it
    EXPECT_EQ(Lines(),
              (QStringList{"Waiting USB dongle...", "USB dongle connected.", "Waiting ESC..."}));
    controller->Dongles().OnDeviceChange(false, "/sys/devices/other/hidraw/hidraw7");
    EXPECT_EQ(Lines().size(), 3);
    port.PlugDongle(false);
    controller->Dongles().OnDeviceChange(false, sim::SimPort::kDevicePath);
    EXPECT_EQ(Lines(), QStringList{"Waiting USB Dongle..."});
}

// With the only dongle pulled, the newest line asks for a dongle, not for the ESC.
TEST_F(Connection, TheNewestLineAfterThePullNamesTheDongle) {
    Connect();
    port.PlugDongle(false);
    controller->Dongles().OnDeviceChange(false, sim::SimPort::kDevicePath);
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
    EXPECT_EQ(Lines(),
              (QStringList{"Waiting USB Dongle...", "ESC Disconnected.", "Waiting USB Dongle..."}));
}

// The window hears of the dongle's removal before it hears that the worker opened it: the
// dongle that is gone is not said to be connected.
TEST_F(Connection, OpeningHeardOfAfterItsRemovalIsNotAnnounced) {
    Open(false);
    port.PlugDongle(true);
    controller->Dongles().OnDeviceChange(true, sim::SimPort::kDevicePath);
    ASSERT_TRUE(RunLinkUntil([&] { return port.GetState() == PORT_OPEN; }));
    port.PlugDongle(false);
    controller->Dongles().OnDeviceChange(false, sim::SimPort::kDevicePath);
    QCoreApplication::processEvents();
    EXPECT_EQ(Lines(), QStringList{"Waiting USB Dongle..."});
}

TEST_F(Connection, Q8IsIdentifiedAndRead) {
    Connect();
    EXPECT_EQ(Lines(), (QStringList{"Waiting ESC...", "Corvane VRX_Q8 A1.2 connected.",
                                    "Getting Parameters...", "Getting Parameters... Completed."}));
    EXPECT_TRUE(view.pagesExist);
    EXPECT_TRUE(controller->IsHotAreaLive(HotSettingsTile));
    EXPECT_TRUE(controller->IsHotAreaLive(HotWriteButton));
    EXPECT_FALSE(controller->Link().GetReportIdentity());
}

TEST_F(Connection, Q10ShowsTwoDigitVersion) {
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({16, 50, 'B', 105, 2}); });
    Connect();
    EXPECT_EQ(Lines().at(1), "Corvane VRX_Q10 B10.5 connected.");
}

// The link reports the identity again and again; the line is said once while it is the last.
TEST_F(Connection, UnknownModelIsSaidOnceWhileItIsTheLastLine) {
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({9, 50, 'A', 12, 2}); });
    Open();
    const auto identifies = [&] {
        return port.Esc([](sim::EscSimulator& e) { return e.IdentifyCount(); });
    };
    ASSERT_TRUE(PumpUntil([&] { return identifies() >= 5; }, 60000));
    EXPECT_EQ(log.count("Connected ESC not in support list."), 1);
    EXPECT_EQ(log.last(), "Connected ESC not in support list.");
    EXPECT_FALSE(controller->ParamsLoaded());
    EXPECT_FALSE(view.pagesExist);
    EXPECT_FALSE(controller->IsHotAreaLive(HotSettingsTile));
}

TEST_F(Connection, WrongFamilyNeverConnects) {
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({8, 49, 'A', 12, 2}); });
    Open();
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected.", 2));
    for (const QString& line : Lines()) {
        EXPECT_FALSE(line.contains("VRX")) << line.toStdString();
    }
    EXPECT_FALSE(controller->ParamsLoaded());
}

TEST_F(Connection, UnsupportedParameterVersionOffersOnlyFirmware) {
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[5] = 3;
        e.SetParamBlock(block);
    });
    Open();
    ASSERT_TRUE(PumpUntilLine("Please update Firmware!!"));
    EXPECT_EQ(Lines().mid(3),
              (QStringList{"Getting Parameters... Completed.", "Parameter Version not support.",
                           "Please update Firmware!!"}));
    for (int area = HotBrakesTile; area < HotAreaCount; ++area) {
        EXPECT_EQ(controller->IsHotAreaLive(area),
                  area == HotFirmwareUpdate || area == HotCloseButton)
            << area;
    }
    EXPECT_FALSE(view.pagesExist);
}

// A failed read is tried again at the next identities, three times at most.
TEST_F(Connection, FailedReadSaysSoAndIsTriedAgainThreeTimesAtMost) {
    const auto reads = [&] { return port.Esc([](sim::EscSimulator& e) { return e.ReadCount(); }); };
    for (const bool recovers : {true, false}) {
        port.Esc([](sim::EscSimulator& e) { e.SetReadCheck(sim::ReadCheck::Wrong); });
        Open();
        ASSERT_TRUE(PumpUntilLine("Fail to Get Parameters!"));
        EXPECT_FALSE(controller->ParamsLoaded());
        if (recovers) {
            port.Esc([](sim::EscSimulator& e) { e.SetReadCheck(sim::ReadCheck::Crc); });
            EXPECT_TRUE(PumpUntil([&] { return controller->ParamsLoaded(); }));
            continue;
        }
        const int before = reads();
        Pump(20000);
        EXPECT_EQ(log.count("Fail to Get Parameters!"), 4);
        EXPECT_EQ(reads() - before, 3);
    }
}

// A stray byte right after the read request is reported as a refusal, but the ESC goes on
// and the read ends well: that block is this ESC's and is shown.
TEST_F(Connection, ReadThatEndsWellAfterAStrayByteIsShown) {
    Open();
    ASSERT_TRUE(PumpUntilLine("Getting Parameters..."));
    port.Esc([](sim::EscSimulator& e) { e.InjectByte(0x55); });
    ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed."));
    EXPECT_TRUE(Lines().contains("Fail to Get Parameters!"));
    EXPECT_TRUE(controller->ParamsLoaded());
    Pump(2000);
    EXPECT_EQ(log.count("Getting Parameters..."), 1) << "the read was not ended and asked again";
}

// A read's end counts only from the read the controller waits for: a failure left over from
// an earlier read neither fails the newer one nor uses up one of its retries.
TEST_F(Connection, AnEarlierReadsFailureChangesNothing) {
    Open();
    ASSERT_TRUE(PumpUntil([&] { return controller->Link().GetLinkState() == LINK_READ; }));
    const uint32_t pending = controller->Link().CurrentExchange();
    controller->Link().GetNotifySink()->PostLinkNotify({LN_READ_FAILED, 0, pending - 1});
    ASSERT_TRUE(PumpUntil([&] { return controller->ParamsLoaded(); }));
    EXPECT_FALSE(Lines().contains("Fail to Get Parameters!"));
    EXPECT_EQ(log.count("Getting Parameters..."), 1);
}

// The ESC is identified again, but its read cannot be handed to the link (busy past the
// 500 ms wait): nothing was read, so the old block must not be shown as this ESC's.
TEST_F(Connection, ReadThatNeverStartedIsAFailureAndIsTriedAgain) {
    Connect();
    controller->Link().WantIdentity(true);
    const int identifies = port.Esc([](sim::EscSimulator& e) { return e.IdentifyCount(); });
    for (int i = 0; i < 5000; ++i) { // the keep-alive reports the identity; the controller waits
        controller->Link().RunPass();
        clock.Advance(1);
        if (controller->Link().GetLinkState() == LINK_IDLE &&
            port.Esc([](sim::EscSimulator& e) { return e.IdentifyCount(); }) > identifies) {
            break;
        }
    }
    // Busy: the dongle takes nothing, so the keep-alive's request stays queued.
    port.SetStalled(true);
    clock.Advance(kKeepAliveQuietMs + 1);
    controller->Link().RunPass();
    ASSERT_EQ(controller->Link().GetLinkState(), LINK_KEEPALIVE);
    const int from = log.size();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.mid(from), (QStringList{"Corvane VRX_Q8 A1.2 connected.", "Getting Parameters...",
                                          "Fail to Get Parameters!"}));
    EXPECT_FALSE(controller->ParamsLoaded());
    EXPECT_FALSE(controller->IsHotAreaLive(HotWriteButton));
    port.SetStalled(false);
    ASSERT_TRUE(PumpUntil([&] { return controller->ParamsLoaded(); }));
    EXPECT_EQ(log.count("Getting Parameters... Completed."), 2);
}

TEST_F(Connection, LinkLostTakesThePagesAway) {
    Connect();
    view.SelectPage(3);
    port.Esc([](sim::EscSimulator& e) { e.SetSilent(true); });
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
    EXPECT_EQ(Lines().mid(Lines().size() - 2),
              (QStringList{"ESC Disconnected.", "Waiting ESC..."}));
    EXPECT_FALSE(view.pagesExist);
    EXPECT_EQ(view.currentPage, PageHost::kNoPage);
    EXPECT_FALSE(controller->IsHotAreaLive(HotBrakesTile));
    // The ESC comes back: read again, pages again.
    port.Esc([](sim::EscSimulator& e) { e.SetSilent(false); });
    ASSERT_TRUE(PumpUntil([&] { return controller->ParamsLoaded(); }));
    EXPECT_TRUE(view.pagesExist);
}

// A byte out of place before the read-back's reply says nothing of the write, even when the
// read-back has ended well before the controller hears of the byte.
TEST_F(Connection, ReadBackIsJudgedByItsOwnEnd) {
    Connect();
    ParameterSet& params = controller->Params();
    params.SetParamPosition(PARAM_DRAG_BRAKE,
                            params.GetParamPosition(PARAM_DRAG_BRAKE) == 10 ? 11 : 10);
    controller->UpdateParameters();
    ASSERT_TRUE(PumpUntil([&] { return controller->Link().GetLinkState() == LINK_READ; }));
    port.Esc([](sim::EscSimulator& e) { e.InjectByte(0x55); });
    for (int i = 0; i < 2000 && controller->Link().GetLinkState() != LINK_IDLE; ++i) {
        controller->Link().RunPass(); // the window falls behind the worker
        clock.Advance(1);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(log.last(), "Update Parameters Completed.");
    EXPECT_FALSE(log.contains("Update Parameters ERROR!!"));
}
