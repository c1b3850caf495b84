// The write button: skipped when nothing changed, sent when something did, sent again after
// a failure.
#include "SkinSlider.h"
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

TEST_F(WriteWorkflow, ChangedSliderIsWrittenOnce) {
    Connect();
    ClickAt(kBrakesTile);
    CSkinSlider* slider = SliderFor(PARAM_BRAKE_STRENGTH);
    ASSERT_NE(slider, nullptr);
    slider->SetPos(slider->GetPos() == 40 ? 41 : 40);
    const int expected = slider->GetPos(); // linear from 0: the value is the position
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    EXPECT_TRUE(Lines().contains("Updating Parameters to ESC..."));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0][9 + PARAM_BRAKE_STRENGTH], expected);
    Settle();
    ClickAt(kWriteButton);
    EXPECT_EQ(Lines().last(), "Parameters are identical, skip updating.");
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
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    ASSERT_EQ(Written().size(), 1u);
    EXPECT_EQ(Written()[0][9 + PARAM_DRAG_BRAKE], slider->GetPos());
}

TEST_F(WriteWorkflow, WriteButtonIsDeadWhileBusy) {
    Connect();
    ClickAt(kBrakesTile);
    CSkinSlider* slider = SliderFor(PARAM_BRAKE_STRENGTH);
    ASSERT_NE(slider, nullptr);
    slider->SetPos(slider->GetPos() == 40 ? 41 : 40);
    Settle();
    ClickAt(kWriteButton);
    ASSERT_TRUE(PumpUntil([&] { return window->TransferBusy(); }));
    EXPECT_FALSE(window->IsHotAreaLive(HotWriteButton));
    MoveTo(kWriteButton + QPoint(1, 1));
    EXPECT_NE(window->LitArea(), HotWriteButton);
    ASSERT_TRUE(PumpUntilLine("Update Parameters Completed."));
    EXPECT_EQ(Written().size(), 1u);
}
