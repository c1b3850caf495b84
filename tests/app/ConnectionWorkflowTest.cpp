// Start-up, dongle notices, identification, the parameter read and the link-lost path, with
// every status line as the user reads it.
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

using Connection = WindowFixture;

TEST_F(Connection, StartUpLineSaysWhatWeWaitFor) {
    Open(true);
    EXPECT_EQ(Lines(), QStringList{"Waiting ESC..."});
    window.reset();
    port.PlugDongle(false);
    Open(false);
    EXPECT_EQ(Lines(), QStringList{"Waiting USB dongle..."});
}

TEST_F(Connection, DongleArrivalAndRemoval) {
    Open(false);
    window->OnDeviceChange(true, "/sys/devices/pci0000:00/0003:046D:C077.0002/hidraw/hidraw1");
    EXPECT_EQ(Lines(), QStringList{"Waiting USB dongle..."}); // someone else's device
    port.PlugDongle(true);
    window->OnDeviceChange(true, sim::SimPort::kDevicePath);
    EXPECT_EQ(Lines(),
              (QStringList{"Waiting USB dongle...", "USB dongle connected.", "Waiting ESC..."}));
    window->OnDeviceChange(false, "/sys/devices/other/hidraw/hidraw7");
    EXPECT_EQ(Lines().size(), 3);
    port.PlugDongle(false);
    window->OnDeviceChange(false, sim::SimPort::kDevicePath);
    EXPECT_EQ(Lines(), QStringList{"Waiting USB Dongle..."});
}

TEST_F(Connection, Q8IsIdentifiedAndRead) {
    Connect();
    EXPECT_EQ(Lines(), (QStringList{"Waiting ESC...", "Corvane VRX_Q8 A1.2 connected.",
                                    "Getting Parameters...", "Getting Parameters... Completed."}));
    EXPECT_NE(window->Page(0), nullptr);
    EXPECT_TRUE(window->IsHotAreaLive(HotSettingsTile));
    EXPECT_TRUE(window->IsHotAreaLive(HotWriteButton));
    EXPECT_FALSE(window->Link().GetReportIdentity());
}

TEST_F(Connection, Q10ShowsTwoDigitVersion) {
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({16, 50, 'B', 105, 2}); });
    Connect();
    EXPECT_EQ(Lines().at(1), "Corvane VRX_Q10 B10.5 connected.");
}

TEST_F(Connection, UnknownModelIsReportedAtEveryIdentity) {
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({9, 50, 'A', 12, 2}); });
    Open();
    ASSERT_TRUE(PumpUntilLine("Connected ESC not in support list.", 3));
    EXPECT_FALSE(window->ParamsLoaded());
    EXPECT_EQ(window->Page(0), nullptr);
    EXPECT_FALSE(window->IsHotAreaLive(HotSettingsTile));
}

TEST_F(Connection, WrongFamilyNeverConnects) {
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({8, 49, 'A', 12, 2}); });
    Open();
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected.", 2));
    for (const QString& line : Lines()) {
        EXPECT_FALSE(line.contains("VRX")) << line.toStdString();
    }
    EXPECT_FALSE(window->ParamsLoaded());
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
        EXPECT_EQ(window->IsHotAreaLive(area), area == HotFirmwareUpdate || area == HotCloseButton)
            << area;
    }
    EXPECT_EQ(window->Page(0), nullptr);
}

TEST_F(Connection, FailedReadSaysSo) {
    port.Esc([](sim::EscSimulator& e) { e.SetReadCheck(sim::ReadCheck::Wrong); });
    Open();
    ASSERT_TRUE(PumpUntilLine("Fail to Get Parameters!"));
    EXPECT_FALSE(window->ParamsLoaded());
}

// A stray byte right after the read request is reported as a refusal, but the ESC goes on
// and the read ends well: that block is this ESC's and is shown.
TEST_F(Connection, ReadThatEndsWellAfterAStrayByteIsShown) {
    Open();
    ASSERT_TRUE(PumpUntilLine("Getting Parameters..."));
    port.Esc([](sim::EscSimulator& e) { e.InjectByte(0x55); });
    ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed."));
    EXPECT_TRUE(Lines().contains("Fail to Get Parameters!"));
    EXPECT_TRUE(window->ParamsLoaded());
}

// The ESC is identified again, but its read cannot be handed to the link (busy past the
// 500 ms wait): nothing was read, so the old block must not be shown as this ESC's.
TEST_F(Connection, ReadThatNeverStartedIsAFailureAndIsTriedAgain) {
    Connect();
    window->Link().SetReportIdentity(true);
    const int identifies = port.Esc([](sim::EscSimulator& e) { return e.IdentifyCount(); });
    for (int i = 0; i < 5000; ++i) { // the keep-alive reports the identity; the window waits
        window->Link().RunPass();
        clock.Advance(1);
        if (window->Link().GetLinkState() == LINK_IDLE &&
            port.Esc([](sim::EscSimulator& e) { return e.IdentifyCount(); }) > identifies) {
            break;
        }
    }
    window->Link().SetLinkState(LINK_KEEPALIVE); // busy, and no worker to end it
    const int from = log.size();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.mid(from), (QStringList{"Corvane VRX_Q8 A1.2 connected.", "Getting Parameters...",
                                          "Fail to Get Parameters!"}));
    EXPECT_FALSE(window->ParamsLoaded());
    EXPECT_FALSE(window->IsHotAreaLive(HotWriteButton));
    window->Link().SetLinkState(LINK_IDLE);
    ASSERT_TRUE(PumpUntil([&] { return window->ParamsLoaded(); }));
    EXPECT_EQ(log.count("Getting Parameters... Completed."), 2);
}

TEST_F(Connection, LinkLostTakesThePagesAway) {
    Connect();
    ClickAt(kBrakesTile);
    EXPECT_EQ(window->CurrentPage(), 3);
    port.Esc([](sim::EscSimulator& e) { e.SetSilent(true); });
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
    EXPECT_EQ(Lines().mid(Lines().size() - 2),
              (QStringList{"ESC Disconnected.", "Waiting ESC..."}));
    EXPECT_EQ(window->Page(0), nullptr);
    EXPECT_EQ(window->CurrentPage(), PageHost::kNoPage);
    EXPECT_FALSE(window->IsHotAreaLive(HotBrakesTile));
    // The ESC comes back: read again, pages again.
    port.Esc([](sim::EscSimulator& e) { e.SetSilent(false); });
    ASSERT_TRUE(PumpUntil([&] { return window->ParamsLoaded(); }));
    EXPECT_NE(window->Page(3), nullptr);
}
