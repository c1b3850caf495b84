// The firmware update from the window: file choice, refusals, confirmation, progress, and the
// fresh identify and read that follow.
#include <sys/stat.h>

#include <QProgressBar>
#include <QTemporaryDir>

#include <fstream>
#include <map>

#include "ParamBlockFactory.h"
#include "SkinSlider.h"
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

namespace {

struct Box {
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons;
};

} // namespace

class FirmwareWorkflow : public WindowFixture {
protected:
    QTemporaryDir m_dir;
    QString m_path;
    std::vector<Box> m_boxes;
    QMessageBox::StandardButton m_answer = QMessageBox::Ok;
    std::vector<int> m_positions;
    // What happens while a box is open (the user's world goes on meanwhile), by the start of
    // its text.
    std::map<QString, std::function<void()>> m_while;

    void SetUp() override { m_path = m_dir.filePath("update.cuf"); }

    void WriteFile(uint8_t model, uint8_t family, uint8_t blocks = 4, uint16_t length = 66) {
        std::ofstream out(m_path.toStdString(), std::ios::binary);
        const char header[] = {
            static_cast<char>(length & 0xFF), static_cast<char>(length >> 8), 9,   0,
            static_cast<char>(model),         static_cast<char>(family),      'B', 14,
            static_cast<char>(blocks)};
        out.write(header, sizeof header);
        for (int i = 0; i < length * blocks; ++i) {
            out.put(static_cast<char>(i * 7));
        }
        port.Esc([=](sim::EscSimulator& e) { e.ExpectFirmware(length, blocks, 'B', 14); });
    }
    void Hook() {
        window->SetFileChooser([this](QWidget*, const auto&) { return m_path; });
        window->SetMessageBoxRunner([this](QWidget*, QMessageBox::Icon, const QString& caption,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons) {
            m_boxes.push_back({caption, text, buttons});
            for (const auto& [start, action] : m_while) {
                if (action && text.startsWith(start)) {
                    action();
                }
            }
            return m_answer;
        });
        QObject::connect(window->Progress(), &QProgressBar::valueChanged,
                         [this](int v) { m_positions.push_back(v); });
    }
    size_t EscBlocks() {
        return port.Esc([](sim::EscSimulator& e) { return e.FirmwareBlocks().size(); });
    }
};

TEST_F(FirmwareWorkflow, FourBlocksWithProgressThenFreshRead) {
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[9 + PARAM_DRAG_BRAKE] = 17; // the user's setting, which the update resets
        e.SetParamBlock(block);
    });
    Connect();
    Hook();
    WriteFile(8, 50);
    ClickAt(kFirmwareLabel);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].caption, "FIRMWARE UPDATE");
    EXPECT_TRUE(m_boxes[0].text.startsWith("You're going to update ESC's firmware,\n"));
    EXPECT_EQ(Lines().last(), "Updating Firmware...");
    m_answer = QMessageBox::No;
    EXPECT_EQ(window->Progress()->minimum(), 0);
    EXPECT_EQ(window->Progress()->maximum(), 3);
    ASSERT_TRUE(PumpUntil([&] { return window->Progress()->isVisible(); }));
    ASSERT_TRUE(PumpUntilLine("Updating Firmware Completed."));
    EXPECT_FALSE(window->Progress()->isVisible());
    EXPECT_EQ(EscBlocks(), 4u);
    std::vector<int> steps;
    for (int v : m_positions) {
        if (steps.empty() || steps.back() != v) {
            steps.push_back(v);
        }
    }
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3}));
    // The ESC is identified and read afresh: the file's version, the default parameters.
    ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed.", 2));
    EXPECT_EQ(Lines().count("Corvane VRX_Q8 A1.2 connected."), 1);
    EXPECT_EQ(Lines().count("Corvane VRX_Q8 B1.4 connected."), 1);
    EXPECT_TRUE(window->Connection().ParamsLoaded());
    ParamBlock defaults = MakeRealisticParamBlock();
    ASSERT_NE(defaults[9 + PARAM_DRAG_BRAKE], 17);
    ParameterSet fresh;
    fresh.SetBlock(defaults.data(), 512, 1);
    EXPECT_EQ(window->Connection().Params().GetParamPosition(PARAM_DRAG_BRAKE),
              fresh.GetParamPosition(PARAM_DRAG_BRAKE));
    // The settings from before are offered back; declined, nothing is written.
    ASSERT_TRUE(PumpUntil([&] { return m_boxes.size() == 2; }));
    EXPECT_EQ(m_boxes[1].caption, "FIRMWARE UPDATE");
    EXPECT_EQ(m_boxes[1].text, "Firmware updated.\nRestore your previous settings to the ESC?");
    EXPECT_EQ(m_boxes[1].buttons, QMessageBox::Yes | QMessageBox::No);
    Settle();
    EXPECT_TRUE(port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().empty(); }));
    EXPECT_EQ(Lines().last(), "Getting Parameters... Completed.");
}

// A flashed ESC boots its new firmware and greets: that is the same ESC, read afresh and
// offered its settings back, not a lost one.
TEST_F(FirmwareWorkflow, EscThatRebootsAfterTheFlashIsOfferedItsSettings) {
    Connect();
    Hook();
    WriteFile(8, 50);
    port.Esc([](sim::EscSimulator& e) { e.SetRestartAfterFlash(true); });
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntil([&] { return m_boxes.size() == 2; }));
    EXPECT_EQ(m_boxes[1].text, "Firmware updated.\nRestore your previous settings to the ESC?");
    EXPECT_FALSE(log.contains("ESC Disconnected."));
    EXPECT_TRUE(log.contains("Corvane VRX_Q8 B1.4 connected."));
}

// A flash that failed part-way leaves firmware nobody knows: not connected, and nothing of
// the old block goes out, until the ESC is identified and read afresh.
TEST_F(FirmwareWorkflow, FailedFlashIsReadAfreshBeforeAnyWrite) {
    Connect();
    Hook();
    WriteFile(8, 50);
    port.Esc([](sim::EscSimulator& e) { e.RefuseNextBlocks(4); }); // past the retries
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Fail to Update Firmware!"));
    EXPECT_FALSE(window->Connection().ParamsLoaded());
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotWriteButton));
    // Nor does the controller's own write send it, whoever calls it.
    ParameterSet& params = window->Connection().Params();
    params.SetParamPosition(PARAM_DRAG_BRAKE, params.GetParamPosition(PARAM_DRAG_BRAKE) ^ 1);
    window->Connection().UpdateParameters();
    ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed.", 2));
    EXPECT_TRUE(window->Connection().ParamsLoaded());
    EXPECT_TRUE(port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().empty(); }));
}

// A failed update may have left the ESC on the new firmware's defaults: the settings kept
// before it are what the next update that completes offers back, not those defaults.
TEST_F(FirmwareWorkflow, KeptSettingsOutliveAFailedUpdate) {
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[9 + PARAM_DRAG_BRAKE] = 17;
        e.SetParamBlock(block);
    });
    Connect();
    Hook();
    WriteFile(8, 50);
    port.Esc([](sim::EscSimulator& e) {
        e.RefuseNextBlocks(4);
        e.SetParamBlock(MakeRealisticParamBlock());
    });
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Fail to Update Firmware!"));
    ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed.", 2));
    ASSERT_NE(window->Connection().Params().GetParamPosition(PARAM_DRAG_BRAKE), 17);
    Settle();
    WriteFile(8, 50);
    ClickAt(kFirmwareLabel);
    m_answer = QMessageBox::Yes;
    ASSERT_TRUE(PumpUntilLine("Previous settings restored."));
    EXPECT_EQ(window->Connection().Params().GetParamPosition(PARAM_DRAG_BRAKE), 17);
}

// A good read renews the retries: the reads after a failed flash get all of theirs, however
// many failed before the good one.
TEST_F(FirmwareWorkflow, AGoodReadRenewsTheRetries) {
    const auto reads = [&] { return port.Esc([](sim::EscSimulator& e) { return e.ReadCount(); }); };
    port.Esc([](sim::EscSimulator& e) { e.SetReadCheck(sim::ReadCheck::Wrong); });
    Open();
    ASSERT_TRUE(PumpUntilLine("Fail to Get Parameters!", 2));
    port.Esc([](sim::EscSimulator& e) { e.SetReadCheck(sim::ReadCheck::Crc); });
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    Settle();
    Hook();
    WriteFile(8, 50);
    port.Esc([](sim::EscSimulator& e) {
        e.RefuseNextBlocks(4);
        e.SetReadCheck(sim::ReadCheck::Wrong);
    });
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Fail to Update Firmware!"));
    const int before = reads();
    Pump(20000);
    EXPECT_EQ(reads() - before, 4) << "the fresh read and its three retries";
}

// The new firmware narrows Turbo Timing to 0..40: the ESC's 55 has no place there and stays at
// the new default; the rest comes back, written and read back like any WRITE.
TEST_F(FirmwareWorkflow, PreviousSettingsComeBackWhereTheNewFirmwareOffersThem) {
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[9 + PARAM_DRAG_BRAKE] = 17;
        block[9 + PARAM_TURBO_TIMING] = 55;
        block[9 + PARAM_COAST] = 40;
        e.SetParamBlock(block);
    });
    Connect();
    Hook();
    // A change still waiting for WRITE is carried over as the pages show it.
    window->Connection().Params().SetParamPosition(PARAM_COAST, 70);
    ParamBlock narrowed = MakeRealisticParamBlock();
    const size_t turboEntry = 27 + 3 * 9 + (5 + 2 + 3 + 3 + 5); // after five tables, four lines
    ASSERT_EQ(narrowed[turboEntry + 2], 60);
    narrowed[turboEntry + 2] = 40;
    WriteFile(8, 50);
    port.Esc([&](sim::EscSimulator& e) { e.ExpectFirmware(66, 4, 'B', 14, narrowed); });
    ClickAt(kFirmwareLabel);
    m_answer = QMessageBox::Yes;
    ASSERT_TRUE(PumpUntilLine("Previous settings restored except: Turbo Timing."));
    const QStringList lines = Lines();
    const auto at = [&](const char* line) { return lines.lastIndexOf(line); };
    EXPECT_LT(at("Getting Parameters... Completed."), at("Updating Parameters to ESC..."));
    EXPECT_EQ(at("Update Parameters Completed.") + 1, lines.size() - 1);
    const auto written = port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
    ASSERT_EQ(written.size(), 1u);
    ParamBlock expected = narrowed;
    expected[9 + PARAM_DRAG_BRAKE] = 17;
    expected[9 + PARAM_COAST] = 70;
    EXPECT_EQ(written[0], expected);
    EXPECT_TRUE(window->Connection().Params().ParamsUnchanged());
    EXPECT_EQ(window->Connection().Params().GetParamPosition(PARAM_DRAG_BRAKE), 17);
}

TEST_F(FirmwareWorkflow, NoUserActionReachesTheEscFromConfirmationToTheReadAfterIt) {
    Connect();
    Hook();
    WriteFile(8, 50, 2);
    ClickAt(kSettingsTile);
    ClickAt(kFirmwareLabel); // the label is outside the page
    // From the confirmation on: the home face with the bar, no tiles, no write.
    EXPECT_TRUE(window->Connection().TransferBusy());
    EXPECT_EQ(window->CurrentPage(), PageHost::kNoPage);
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotWriteButton));
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotSettingsTile));
    ClickAt(kBrakesTile);
    EXPECT_EQ(window->CurrentPage(), PageHost::kNoPage);
    ASSERT_TRUE(PumpUntil([&] { return window->Progress()->isVisible(); }));
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotThrottleTile));
    // Right after the flash the ESC's layout may have changed: WRITE is dead until it is read.
    ASSERT_TRUE(PumpUntilLine("Updating Firmware Completed."));
    EXPECT_FALSE(window->Connection().ParamsLoaded());
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotWriteButton));
    ClickAt(kWriteButton);
    EXPECT_FALSE(Lines().contains("Updating Parameters to ESC..."));
    ASSERT_TRUE(PumpUntilLine("Getting Parameters...", 2));
    // Between the identity and the end of the read the tool counts as not connected.
    EXPECT_FALSE(window->Connection().ParamsLoaded());
    EXPECT_EQ(window->CurrentPage(), PageHost::kNoPage);
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotWriteButton));
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotSettingsTile));
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    EXPECT_TRUE(port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().empty(); }));
}

// The file was checked against a VRX_Q8; while the box is open that ESC is unplugged and a
// VRX_Q10 is connected, identified and read.
TEST_F(FirmwareWorkflow, EscSwappedWhileTheBoxIsOpenGetsNothing) {
    Connect();
    Hook();
    WriteFile(8, 50);
    m_while["You're going"] = [this] {
        port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
        ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
        port.Esc([](sim::EscSimulator& e) {
            e.SetIdentity({16, 50, 'B', 105, 2});
            e.SetConnected(true);
        });
        ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed.", 2));
    };
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines().last(), "Firmware Update Cancelled.");
    EXPECT_FALSE(window->Connection().TransferBusy());
    Pump(500);
    EXPECT_EQ(EscBlocks(), 0u);

    // The same ESC, but lost and found again while the box was open: cancelled too.
    m_while["You're going"] = [this] {
        window->Connection().Link().WantIdentity(true);
        ASSERT_TRUE(PumpUntilLine("Getting Parameters... Completed.", 3));
    };
    WriteFile(16, 50);
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines().last(), "Firmware Update Cancelled.");
    Pump(500);
    EXPECT_EQ(EscBlocks(), 0u);
}

// Another ESC of the same model is identified at the link while the box is open, before the
// window hears of it: the firmware checked for the first must not go to it.
TEST_F(FirmwareWorkflow, AnEscTheWindowHasNotHeardOfGetsNoFirmware) {
    Connect();
    Hook();
    WriteFile(8, 50);
    m_while["You're going"] = [this] { SwapEscBehindTheWindow(); };
    ClickAt(kFirmwareLabel);
    // Still behind: the link alone decides.
    RunLinkUntil([&] { return EscBlocks() > 0; }, 5000);
    EXPECT_EQ(EscBlocks(), 0u);
}

// The restore offer is answered Yes after the ESC it was made for went: swapped for another
// (read meanwhile), or lost. Nothing is written, and no pages come back for a lost one.
TEST_F(FirmwareWorkflow, RestoreAnsweredAfterTheEscWentWritesNothing) {
    const std::function<void()> meanwhile[] = {
        [this] {
            port.Esc([](sim::EscSimulator& e) {
                e.SetIdentity({8, 50, 'B', 15, 2});
                e.Restart();
            });
            const auto reads = log.count("Getting Parameters... Completed.");
            ASSERT_TRUE(
                PumpUntil([&] { return log.count("Getting Parameters... Completed.") > reads; }));
        },
        [this] {
            port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
            ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
        },
    };
    for (const auto& change : meanwhile) {
        Connect();
        Hook();
        window->Connection().Params().SetParamPosition(PARAM_COAST, 70); // something to restore
        WriteFile(8, 50);
        m_answer = QMessageBox::Ok;
        m_while["Firmware updated."] = change;
        ClickAt(kFirmwareLabel);
        m_answer = QMessageBox::Yes;
        ASSERT_TRUE(PumpUntil([&] { return m_boxes.size() == 2; }));
        Pump(500);
        EXPECT_EQ(port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks().size(); }), 0u);
        EXPECT_FALSE(log.contains("Previous settings restored."));
        EXPECT_EQ(window->PagesExist(), window->Connection().ParamsLoaded());
        window.reset();
        port.Esc([](sim::EscSimulator& e) { e.SetConnected(true); });
        m_boxes.clear();
        m_while.clear();
    }
}

// The flashed firmware reports another model (family unchanged) with no link loss between:
// the settings kept for the old model are not offered.
TEST_F(FirmwareWorkflow, AnotherModelAfterTheFlashIsOfferedNothing) {
    Connect();
    Hook();
    WriteFile(8, 50);
    port.Esc([](sim::EscSimulator& e) { e.SetRestartAfterFlash(true); });
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntil([&] { return EscBlocks() == 4; }));
    port.Esc([](sim::EscSimulator& e) { e.SetIdentity({16, 50, 'B', 14, 2}); });
    ASSERT_TRUE(PumpUntilLine("Corvane VRX_Q10 B1.4 connected."));
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    Pump(10);
    EXPECT_FALSE(log.contains("ESC Disconnected."));
    EXPECT_EQ(m_boxes.size(), 1u) << "only the confirmation";
}

// ESC A's update leaves firmware whose settings cannot be read; A goes and B, as unreadable,
// comes and is flashed from that state. A's kept settings are not offered to B.
TEST_F(FirmwareWorkflow, KeptSettingsGoWithTheirEscIntoNoOtherUpdate) {
    Connect();
    Hook();
    WriteFile(8, 50);
    ParamBlock unreadable = MakeRealisticParamBlock();
    unreadable[5] = 5;
    port.Esc([&](sim::EscSimulator& e) { e.ExpectFirmware(66, 4, 'B', 14, unreadable); });
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Please update Firmware!!"));
    port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
    port.Esc([&](sim::EscSimulator& e) {
        e.SetParamBlock(unreadable);
        e.SetConnected(true);
    });
    ASSERT_TRUE(PumpUntil([&] { return log.count("Please update Firmware!!") == 2; }));
    Settle();
    WriteFile(8, 50);
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    Pump(10);
    EXPECT_EQ(m_boxes.size(), 2u) << "the two confirmations, no offer";
}

TEST_F(FirmwareWorkflow, CloseDuringTheTransferIsAskedAbout) {
    Connect();
    Hook();
    WriteFile(8, 50, 8);
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntil([&] { return EscBlocks() == 2; }));
    m_answer = QMessageBox::No;
    ClickAt(kCloseButton);
    ASSERT_EQ(m_boxes.size(), 2u);
    EXPECT_EQ(m_boxes[1].caption, "FIRMWARE UPDATE");
    EXPECT_EQ(m_boxes[1].text, "A firmware update is in progress.\nClosing now can leave the ESC "
                               "unusable.\nClose anyway?");
    EXPECT_EQ(m_boxes[1].buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(window->isVisible());
    window->close(); // the desktop's close, or Alt+F4
    EXPECT_EQ(m_boxes.size(), 3u);
    EXPECT_TRUE(window->isVisible());
    // The transfer ends while the question is open: the question goes with it, and a Yes
    // given to the stale box closes nothing.
    m_answer = QMessageBox::Yes;
    m_while["A firmware update"] = [&] {
        ASSERT_TRUE(PumpUntilLine("Updating Firmware Completed."));
    };
    window->close();
    m_while.clear();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(EscBlocks(), 8u);

    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    Settle();
    WriteFile(8, 50, 8);
    m_answer = QMessageBox::Ok;
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntil([&] { return EscBlocks() == 10; }));
    m_answer = QMessageBox::Yes;
    ClickAt(kCloseButton);
    EXPECT_FALSE(window->isVisible());
    // The window's own box goes away answered No when the controller dismisses it.
    window->SetMessageBoxRunner(nullptr);
    QTimer::singleShot(0, window.get(), [&] { window->DismissQuestion(); });
    EXPECT_EQ(window->Ask(QMessageBox::Warning, "?", "?", QMessageBox::Yes | QMessageBox::No,
                          QMessageBox::Yes),
              QMessageBox::No);
}

TEST_F(FirmwareWorkflow, RefusalsComeAsBoxes) {
    Connect();
    Hook();
    const int before = Lines().size();
    WriteFile(16, 51); // other family and other model: the family decides
    ClickAt(kFirmwareLabel);
    WriteFile(16, 50);
    ClickAt(kFirmwareLabel);
    {
        std::ofstream out(m_path.toStdString(), std::ios::binary | std::ios::trunc);
        out << "not an upgrade file";
    }
    ClickAt(kFirmwareLabel);
    // A FIFO with no writer must not freeze the window; a path that cannot be opened at all
    // ends the flow without a word.
    m_path = m_dir.filePath("x.cuf");
    ASSERT_EQ(::mkfifo(m_path.toLocal8Bit().constData(), 0600), 0);
    ClickAt(kFirmwareLabel);
    m_path = m_dir.filePath("missing.cuf");
    ClickAt(kFirmwareLabel);
    ASSERT_EQ(m_boxes.size(), 4u);
    EXPECT_EQ(m_boxes[0].text, "Invalid Firmware File!");
    EXPECT_EQ(m_boxes[1].text, "Incorrect ESC Model!");
    EXPECT_EQ(m_boxes[2].text, "Invalid Firmware File!");
    EXPECT_EQ(m_boxes[3].text, "Invalid Firmware File!");
    for (const Box& box : m_boxes) {
        EXPECT_EQ(box.caption, "FIRMWARE UPDATE");
    }
    EXPECT_EQ(Lines().size(), before);
    Pump(500);
    EXPECT_EQ(EscBlocks(), 0u);
}

TEST_F(FirmwareWorkflow, CancelledDialogOrConfirmation) {
    Connect();
    Hook();
    const QStringList before = Lines();
    m_path.clear(); // the file dialog was cancelled
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines(), before);
    EXPECT_TRUE(m_boxes.empty());
    m_path = m_dir.filePath("update.cuf");
    WriteFile(8, 50);
    m_answer = QMessageBox::Cancel;
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines().last(), "Firmware Update Cancelled.");
    Pump(500);
    EXPECT_EQ(EscBlocks(), 0u);
}

TEST_F(FirmwareWorkflow, SecondRunDuringATransferIsRefused) {
    Connect();
    Hook();
    WriteFile(8, 50, 8);
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntil([&] { return EscBlocks() == 2; }));
    WriteFile(8, 50, 2, 100);
    port.Esc([](sim::EscSimulator& e) { e.SetFirmwareBlockLength(66); });
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines().last(), "Firmware update in progress, please wait.");
    ASSERT_TRUE(PumpUntilLine("Updating Firmware Completed."));
    EXPECT_EQ(EscBlocks(), 8u);

    // The same during a parameter write: a line, and no dialog at all.
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    Settle();
    ClickAt(kBrakesTile);
    for (CSkinSlider* slider : window->findChildren<CSkinSlider*>()) {
        if (slider->isEnabled() && slider->isVisible()) {
            slider->SetPos(slider->GetPos() == slider->MinPos() ? slider->MaxPos()
                                                                : slider->MinPos());
            break;
        }
    }
    ClickAt(kWriteButton);
    const size_t boxes = m_boxes.size();
    bool chooserRan = false;
    window->SetFileChooser([&](QWidget*, const auto&) {
        chooserRan = true;
        return m_path;
    });
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().TransferBusy(); }));
    ClickAt(kFirmwareLabel);
    EXPECT_EQ(Lines().last(), "Firmware update in progress, please wait.");
    EXPECT_FALSE(chooserRan);
    EXPECT_EQ(m_boxes.size(), boxes);
}

TEST_F(FirmwareWorkflow, FirmwareOnlyStateCanUpdate) {
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[5] = 5;
        e.SetParamBlock(block);
    });
    Open();
    ASSERT_TRUE(PumpUntilLine("Please update Firmware!!"));
    Settle();
    // Idle in this state says nothing more: the identity is not asked for again and again.
    const int lines = Lines().size();
    Pump(3000);
    EXPECT_EQ(Lines().size(), lines);
    Hook();
    WriteFile(8, 50);
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Updating Firmware Completed."));
    EXPECT_EQ(EscBlocks(), 4u);
    // No settings were readable before the update: none are offered after it.
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
    Pump(10);
    EXPECT_EQ(m_boxes.size(), 1u);
}

// Settings kept from one ESC are never offered to another of the same model plugged in before
// the first was read after its update.
TEST_F(FirmwareWorkflow, KeptSettingsAreNotOfferedToAnotherEsc) {
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[9 + PARAM_DRAG_BRAKE] = 17;
        e.SetParamBlock(block);
    });
    Connect();
    Hook();
    WriteFile(8, 50);
    const auto swap = [&] {
        // Gone long enough to be lost: one swapped within a keep-alive looks like a reboot.
        const auto lost = log.count("ESC Disconnected.");
        port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
        ASSERT_TRUE(PumpUntil([&] { return log.count("ESC Disconnected.") > lost; }));
        port.Esc([](sim::EscSimulator& e) {
            e.SetParamBlock(MakeRealisticParamBlock());
            e.SetConnected(true);
        });
        ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
        Pump(10); // an offer would be asked once the read's notice is handled
        for (const Box& box : m_boxes) {
            EXPECT_FALSE(box.text.startsWith("Firmware updated.")) << "offered to another ESC";
        }
    };
    // The updated firmware's settings cannot be read; the other ESC is plugged in meanwhile.
    ParamBlock unreadable = MakeRealisticParamBlock();
    unreadable[5] = 5;
    port.Esc([&](sim::EscSimulator& e) { e.ExpectFirmware(66, 4, 'B', 14, unreadable); });
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Please update Firmware!!"));
    swap();
    // The ESC is unplugged as soon as the update is done, before it is read again.
    port.Esc([](sim::EscSimulator& e) {
        auto block = e.ParamBlock();
        block[9 + PARAM_DRAG_BRAKE] = 17;
        e.SetParamBlock(block);
    });
    Settle();
    WriteFile(8, 50);
    ClickAt(kFirmwareLabel);
    ASSERT_TRUE(PumpUntilLine("Updating Firmware Completed.", 2));
    swap();
    EXPECT_EQ(m_boxes.size(), 2u);
}
