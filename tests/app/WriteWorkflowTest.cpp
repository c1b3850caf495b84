// The write button: skipped when nothing changed, sent when something did, sent again after
// a failure; an edit made while a write runs is never lost; a close waits for the write.
#include "PageBase.h"
#include "ParamBlockFactory.h"
#include "SkinSlider.h"
#include "SkinStatic.h"
#include "WindowFixture.h"

using namespace corvane;
using namespace corvane::test;

class WriteWorkflow : public WindowFixture {
protected:
    CSkinSlider* SliderFor(int paramIndex) {
        for (CSkinSlider* slider : window->findChildren<CSkinSlider*>()) {
            if (slider->ParamIndex() == paramIndex && slider->isEnabled()) {
                return slider;
            }
        }
        return nullptr;
    }
    // Opens the Brakes page and moves the brake strength slider (linear from 0).
    CSkinSlider* MoveBrakeStrength() {
        ClickAt(kBrakesTile);
        CSkinSlider* slider = SliderFor(PARAM_BRAKE_STRENGTH);
        if (slider != nullptr) {
            slider->SetPos(slider->GetPos() == 40 ? 41 : 40);
        }
        return slider;
    }
    std::vector<sim::EscSimulator::Block> Written() {
        return port.Esc([](sim::EscSimulator& e) { return e.WrittenBlocks(); });
    }
};

TEST_F(WriteWorkflow, NothingChangedIsNotSent) {
    Connect();
    ClickAt(kWriteButton);
    EXPECT_EQ(Lines().last(), "Parameters are identical, skip updating.");
    Pump(200);
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(window->LitArea(), HotWriteButton); // lit again: the mouse did not move
}

// Another ESC is identified at the link before the window has heard of it: the block made for
// the first must not reach it.
TEST_F(WriteWorkflow, AnEscTheWindowHasNotHeardOfGetsNoBlock) {
    Connect();
    ASSERT_NE(MoveBrakeStrength(), nullptr);
    SwapEscBehindTheWindow();
    ClickAt(kWriteButton);
    RunLinkUntil([&] { return !Written().empty(); }, 5000); // still behind: the link decides
    EXPECT_TRUE(Written().empty());
}

// The dot on the write button, in the accent colour, while changes wait.
bool MarkerShown(QWidget& window) {
    return window.grab().toImage().pixel(layout::kChangeMarker.center()) == layout::kAccent;
}

TEST_F(WriteWorkflow, ChangedSliderIsWrittenOnce) {
    Connect();
    ClickAt(kBrakesTile);
    CSkinSlider* slider = SliderFor(PARAM_BRAKE_STRENGTH);
    ASSERT_NE(slider, nullptr);
    EXPECT_FALSE(MarkerShown(*window));
    // A change the user makes is waiting at once, with what it changes.
    const int before = slider->GetPos(); // linear from 0: the value is the position
    QTest::keyClick(slider, Qt::Key_Up);
    QTest::keyClick(slider, Qt::Key_Up);
    const int expected = slider->GetPos();
    ASSERT_EQ(expected, before + 2);
    EXPECT_TRUE(MarkerShown(*window));
    EXPECT_EQ(window->ChangesText(),
              QString::fromUtf8("Brake Strength: %1% \u2192 %2%").arg(before).arg(expected));
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    EXPECT_FALSE(MarkerShown(*window));
    EXPECT_EQ(window->ChangesText(), QString());
    EXPECT_TRUE(Lines().contains("Updating Parameters to ESC..."));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0][9 + PARAM_BRAKE_STRENGTH], expected);
    Settle();
    ClickAt(kWriteButton);
    EXPECT_EQ(Lines().last(), "Parameters are identical, skip updating.");
}

// Values the descriptors do not offer stay the ESC's bytes unless the user moves them: their
// boxes say what the ESC holds, and only what the user moved is written.
TEST_F(WriteWorkflow, OnlyWhatTheUserMovedIsWritten) {
    ParamBlock esc = MakeRealisticParamBlock();
    esc[9 + PARAM_TURBO_DELAY] = 5;    // below its 10..200
    esc[9 + PARAM_NEUTRAL_WIDTH] = 10; // not among 6, 9 and 15
    port.Esc([&](sim::EscSimulator& e) { e.SetParamBlock(esc); });
    Connect();
    ClickAt(kTimingTile);
    bool shown = false;
    for (const CSkinStatic* box : window->Page(2)->findChildren<CSkinStatic*>()) {
        shown = shown || box->Text() == "0.05 sec";
    }
    EXPECT_TRUE(shown) << "the box shows what the ESC holds";
    ClickAt(kWriteButton);
    EXPECT_EQ(Lines().last(), "Parameters are identical, skip updating.");
    ClickAt(kBrakesTile);
    CSkinSlider* drag = SliderFor(PARAM_DRAG_BRAKE);
    ASSERT_NE(drag, nullptr);
    QTest::keyClick(drag, Qt::Key_Up);
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    esc[9 + PARAM_DRAG_BRAKE] = static_cast<uint8_t>(drag->GetPos());
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0], esc);
}

// Changes still waiting when the ESC is lost come back with it, if it holds what they were
// made against; otherwise they are dropped, and a line says so.
TEST_F(WriteWorkflow, WaitingChangesSurviveAReconnectOnlyToTheSameSettings) {
    for (const bool same : {true, false}) {
        SCOPED_TRACE(same);
        Connect();
        ASSERT_NE(MoveBrakeStrength(), nullptr);
        ClickAt(kHomeButton); // leaving the page stores the move
        ASSERT_TRUE(window->ChangesWaiting());
        port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
        ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
        port.Esc([same](sim::EscSimulator& e) {
            auto block = e.ParamBlock();
            block[9 + PARAM_COAST] ^= same ? 0 : 1;
            e.SetParamBlock(block);
            e.SetConnected(true);
        });
        ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
        EXPECT_EQ(window->ChangesWaiting(), same);
        EXPECT_EQ(log.contains("Unsent changes were dropped: the ESC holds other settings."),
                  !same);
        if (!same) {
            continue;
        }
        // Once back, the changes put aside are spent: written, then a reconnect to an ESC
        // changed meanwhile has nothing of them to drop.
        ClickAt(kWriteButton);
        ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
        port.Esc([](sim::EscSimulator& e) { e.SetConnected(false); });
        ASSERT_TRUE(PumpUntilLine("ESC Disconnected.", 2));
        port.Esc([](sim::EscSimulator& e) {
            auto block = e.ParamBlock();
            block[9 + PARAM_COAST] ^= 1;
            e.SetParamBlock(block);
            e.SetConnected(true);
        });
        ASSERT_TRUE(PumpUntil([&] { return window->Connection().ParamsLoaded(); }));
        EXPECT_FALSE(log.contains("Unsent changes were dropped: the ESC holds other settings."));
    }
}

TEST_F(WriteWorkflow, FailedWriteIsSentAgainNextTime) {
    Connect();
    ClickAt(kBrakesTile);
    CSkinSlider* slider = SliderFor(PARAM_DRAG_BRAKE);
    ASSERT_NE(slider, nullptr);
    slider->SetPos(slider->GetPos() == 10 ? 11 : 10);
    port.Esc([](sim::EscSimulator& e) { e.RefuseNextBlocks(4); });
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters ERROR!!"));
    EXPECT_TRUE(Written().empty());

    // Accepted, but the ESC keeps another byte: the read-back finds it and says so, the page
    // shows what the ESC holds elsewhere, and the value that did not land still waits.
    const int wanted = slider->GetPos();
    port.Esc([](sim::EscSimulator& e) { e.CorruptNextStore(9 + PARAM_DRAG_BRAKE); });
    Settle();
    int from = static_cast<int>(log.size());
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("ESC holds other values than were sent."));
    EXPECT_EQ(log.mid(from),
              (QStringList{"Updating Parameters to ESC...", "Update Parameters ERROR!!",
                           "ESC holds other values than were sent."}))
        << "the read-back says nothing of its own";
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(window->CurrentPage(), 3);
    slider = SliderFor(PARAM_DRAG_BRAKE); // the pages were built anew over the ESC's block
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->GetPos(), wanted);
    EXPECT_EQ(window->ChangesText(),
              QString::fromUtf8("Drag Brake: %1% \u2192 %2%").arg(wanted ^ 1).arg(wanted));

    Settle();
    from = static_cast<int>(log.size());
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    EXPECT_EQ(log.mid(from),
              (QStringList{"Updating Parameters to ESC...", "Update Parameters Completed."}));
    ASSERT_EQ(Written().size(), 2u);
    EXPECT_EQ(Written()[1][9 + PARAM_DRAG_BRAKE], wanted);
    EXPECT_FALSE(window->ChangesWaiting());
}

TEST_F(WriteWorkflow, WriteButtonIsDeadWhileBusyAndAnEditMeanwhileIsKept) {
    Connect();
    CSkinSlider* slider = MoveBrakeStrength();
    CSkinSlider* drag = SliderFor(PARAM_DRAG_BRAKE);
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(drag, nullptr);
    Settle();
    ClickAt(kWriteButton);
    // Dead from the hand-over on: a double click does not hand over a second copy.
    EXPECT_TRUE(window->Connection().TransferBusy());
    EXPECT_FALSE(window->Connection().IsHotAreaLive(HotWriteButton));
    MoveTo(kWriteButton + QPoint(1, 1));
    EXPECT_NE(window->LitArea(), HotWriteButton);
    // The user goes on while the block goes out: the ESC gets the block as it was at WRITE,
    // and the edit is still waiting for the next WRITE.
    drag->SetPos(drag->GetPos() == 10 ? 11 : 10);
    ClickAt(kHomeButton); // leaving the page stores it into the block
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_NE(Written()[0][9 + PARAM_DRAG_BRAKE], drag->GetPos());
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed.", 2));
    ASSERT_EQ(Written().size(), 2u);
    EXPECT_EQ(Written()[1][9 + PARAM_DRAG_BRAKE], drag->GetPos());
    EXPECT_EQ(Written()[1][9 + PARAM_BRAKE_STRENGTH], slider->GetPos());
}

TEST_F(WriteWorkflow, LostEscEndsTheBusyWrite) {
    Connect();
    CSkinSlider* slider = MoveBrakeStrength();
    ASSERT_NE(slider, nullptr);
    port.Esc([](sim::EscSimulator& e) { e.SetSilent(true); });
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntil([&] { return window->Connection().TransferBusy(); }));
    ASSERT_TRUE(PumpUntilLine("ESC Disconnected."));
    EXPECT_FALSE(window->Connection().TransferBusy());
}

// Closing during a write lets the write end first (at most about 2 s), then closes.
TEST_F(WriteWorkflow, CloseDuringAWriteWaitsForIt) {
    Connect();
    CSkinSlider* slider = MoveBrakeStrength();
    ASSERT_NE(slider, nullptr);
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(
        window->Connection().Link().IsTransferBusy(&window->Connection().Link().m_EscRecord));
    ClickAt(kCloseButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(
        window->Connection().Link().IsTransferBusy(&window->Connection().Link().m_EscRecord));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0][9 + PARAM_BRAKE_STRENGTH], slider->GetPos());

    // An ESC that answers slowly (each answer 250 ms late) and refuses the block three times
    // holds the close no longer than the wait.
    window->show();
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    slider->SetPos(slider->GetPos() == 40 ? 41 : 40);
    Settle();
    port.SetLatency(250);
    port.Esc([](sim::EscSimulator& e) { e.RefuseNextBlocks(3); });
    ClickAt(kWriteButton);
    const uint32_t before = clock.Now();
    ClickAt(kCloseButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_GE(clock.Now() - before, 2000u);
    EXPECT_LE(clock.Now() - before, 2100u);
    EXPECT_TRUE(
        window->Connection().Link().IsTransferBusy(&window->Connection().Link().m_EscRecord));
}
