#include "PagesFixture.h"
#include "ParamInfo.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace corvane;
using namespace corvane::test;

namespace {

constexpr size_t kValue = 9; // offset of parameter 0's value byte

class PageLoadStoreTest : public PagesFixture {
protected:
    void StoreAll() {
        for (int page : {kBrakes, kSettings, kTiming, kThrottle}) {
            PageOf(Page(page)).StoreParams();
        }
    }
    void ExpectBlock(ParamBlock expected, std::initializer_list<std::pair<int, uint8_t>> values) {
        for (const auto& [param, value] : values) {
            expected[kValue + static_cast<size_t>(param)] = value;
        }
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(m_host->m_block[i], expected[i]) << "byte " << i;
        }
    }
    // The realistic tables of parameters 0 to 4, for blocks that differ from parameter 5 on.
    static ParamBlockBuilder SwitchTables() {
        return ParamBlockBuilder()
            .AddTable({30, 31, 32, 33, 34})
            .AddTable({0, 1})
            .AddTable({0, 1, 2})
            .AddTable({6, 9, 15})
            .AddTable({1, 2, 3, 4, 5});
    }
    static bool Has(const std::vector<int>& calls, int param) {
        return std::find(calls.begin(), calls.end(), param) != calls.end();
    }
};

} // namespace

TEST_F(PageLoadStoreTest, SlidersShowTheirPositionsWithReversedSwitchesMirrored) {
    CreatePages(MakeRealisticParamBlock());
    for (int page = kSettings; page <= kBrakes; ++page) {
        for (const CSkinSlider* slider : PageOf(Page(page)).findChildren<CSkinSlider*>()) {
            const int param = slider->ParamIndex();
            const uint8_t position = m_host->m_params.GetParamPosition(param);
            const bool reversed = kParamInfo[static_cast<size_t>(param)].reversed;
            EXPECT_EQ(slider->GetPos(), reversed ? slider->MaxPos() - position : position)
                << "parameter " << param;
        }
    }
    // FORWARD and Fwd + Br are position 0 and printed at the top; neutral width 9 is not.
    EXPECT_EQ(Slider(PageOf(kSettings), kMotorDirection)->ThumbRect().top(), 0);
    EXPECT_EQ(Slider(PageOf(kSettings), kDriveMode)->ThumbRect().top(), 0);
    EXPECT_GT(Slider(PageOf(kSettings), kNeutralWidth)->ThumbRect().top(), 0);
}

TEST_F(PageLoadStoreTest, DriveModeDraggedToTheBottomStoresTheLastEntry) {
    CreatePages(MakeRealisticParamBlock()); // drive mode = table entry 0
    CSkinSlider* mode = Slider(PageOf(kSettings), kDriveMode);
    EXPECT_EQ(mode->GetPos(), 2);
    Drag(mode, {9, 98});
    EXPECT_EQ(mode->GetPos(), 0);
    const ParamBlock before = m_host->m_block;
    PageOf(kSettings).StoreParams();
    ExpectBlock(before, {{PARAM_DRIVE_MODE, 2}}); // Fwd + Br + Rev
}

// A value the table does not know stands at the nearest end and stays as the ESC sent it,
// unless the user moves the switch.
TEST_F(PageLoadStoreTest, UnknownDirectionIsKeptUntilMoved) {
    ParamBlock block = MakeRealisticParamBlock();
    block[kValue + PARAM_MOTOR_DIRECTION] = 7;
    CreatePages(block);
    PageOf(kSettings).StoreParams();
    EXPECT_EQ(m_host->Value(PARAM_MOTOR_DIRECTION), 7);
    QTest::keyClick(Slider(PageOf(kSettings), kMotorDirection), Qt::Key_Up);
    EXPECT_EQ(m_host->Value(PARAM_MOTOR_DIRECTION), 0);
}

TEST_F(PageLoadStoreTest, OneStepOnEverySliderWritesExactlyItsValueByte) {
    CreatePages(MakeRealisticParamBlock());
    const ParamBlock before = m_host->m_block;
    auto press = [this](Page page, unsigned id, Qt::Key key) {
        QTest::keyClick(Slider(PageOf(page), id), key);
    };
    press(kSettings, kVoltageCutoff, Qt::Key_Right);
    press(kSettings, kThermalProtection, Qt::Key_Right);
    press(kSettings, kMotorDirection, Qt::Key_Down); // down the groove: REVERSE
    press(kSettings, kDriveMode, Qt::Key_Down);      // Fwd + Rev
    press(kSettings, kNeutralWidth, Qt::Key_Up);
    press(kThrottle, kStartPower, Qt::Key_Right);
    press(kThrottle, kThrottleCurve, Qt::Key_Up);
    press(kThrottle, kCurrentLimiter, Qt::Key_Down); // already at the top
    press(kThrottle, kCoast, Qt::Key_Up);
    for (unsigned id : {kBoostStartRpm, kBoostEndRpm, kTurboTiming, kTurboDelay, kBoostTiming}) {
        press(kTiming, id, Qt::Key_Up);
    }
    press(kBrakes, kDragBrake, Qt::Key_Up);
    press(kBrakes, kBrakeStrength, Qt::Key_Up);
    // The user's moves reach the block at once (the write button knows what waits); storing
    // the pages again changes nothing.
    const ParamBlock moved = m_host->m_block;
    StoreAll();
    EXPECT_EQ(m_host->m_block, moved);
    ExpectBlock(before, {{PARAM_VOLTAGE_CUTOFF, 33},
                         {PARAM_THERMAL_PROTECTION, 1},
                         {PARAM_MOTOR_DIRECTION, 1},
                         {PARAM_DRIVE_MODE, 1},
                         {PARAM_NEUTRAL_WIDTH, 15},
                         {PARAM_START_POWER, 4},
                         {PARAM_THROTTLE_CURVE, 129},
                         {PARAM_CURRENT_LIMITER, 99},
                         {PARAM_COAST, 1},
                         {PARAM_BOOST_START_RPM, 4},
                         {PARAM_BOOST_END_RPM, 16},
                         {PARAM_TURBO_TIMING, 21},
                         {PARAM_TURBO_DELAY, 26},
                         {PARAM_BOOST_TIMING, 16},
                         {PARAM_DRAG_BRAKE, 6},
                         {PARAM_BRAKE_STRENGTH, 51}});
}

// The parameter rules store these two as min + position even when the ESC sends a table.
TEST_F(PageLoadStoreTest, DragBrakeAndBoostTimingStayLinearWithATable) {
    CreatePages(SwitchTables()
                    .AddTable({10, 20, 30, 40}) // drag brake, min 10
                    .SetValue(PARAM_DRAG_BRAKE, 11)
                    .AddTable({0, 25, 50}) // boost timing, min 0
                    .SetValue(PARAM_BOOST_TIMING, 2)
                    .Build());
    QTest::keyClick(Slider(PageOf(kBrakes), kDragBrake), Qt::Key_Up);
    QTest::keyClick(Slider(PageOf(kTiming), kBoostTiming), Qt::Key_Down);
    StoreAll();
    EXPECT_EQ(m_host->Value(PARAM_DRAG_BRAKE), 12) << "10 + 2, not table entry 2";
    EXPECT_EQ(m_host->Value(PARAM_BOOST_TIMING), 1) << "0 + 1, not table entry 1";
}

// From parameter 9 on, the descriptors lie beyond the block's 512 bytes.
TEST_F(PageLoadStoreTest, ParametersTheBlockCannotDescribeAreDisabledAndNeverTouched) {
    CreatePages(SwitchTables()
                    .AddLinear(0, 75)
                    .SetValue(PARAM_DRAG_BRAKE, 20)
                    .AddLinear(0, 50)
                    .SetValue(PARAM_BOOST_TIMING, 10)
                    .AddLinear(1, 30)
                    .AddEntry(200, 1, 30, {}) // 8: ends at byte 271
                    .AddEntry(250, 0, 60, {}) // 9: would run to byte 524
                    .Build());
    const std::vector<unsigned> unavailable = {
        kThermalProtection, kThrottleCurve, kCurrentLimiter, kCoast,
        kTurboTiming,       kTurboDelay,    kBrakeStrength};
    const ParamBlock before = m_host->m_block;
    for (int page = kSettings; page <= kBrakes; ++page) {
        PageOf(Page(page)).ShowPage(true);
        for (CSkinSlider* slider : PageOf(Page(page)).findChildren<CSkinSlider*>()) {
            const bool disabled = std::find(unavailable.begin(), unavailable.end(),
                                            slider->ControlId()) != unavailable.end();
            EXPECT_EQ(slider->isEnabled(), !disabled) << slider->ControlId();
            QTest::keyClick(slider, slider->Orientation() ? Qt::Key_Up : Qt::Key_Right);
        }
    }
    QTest::mouseClick(Slider(PageOf(kTiming), kTurboTiming), Qt::LeftButton, {}, {15, 130});
    EXPECT_EQ(DisplayAt(PageOf(kTiming), {244, 285})->Text(), "");
    StoreAll();
    for (int param = PARAM_TURBO_TIMING; param <= PARAM_THERMAL_PROTECTION; ++param) {
        EXPECT_FALSE(Has(m_host->m_loaded, param) || Has(m_host->m_stored, param)) << param;
        EXPECT_EQ(m_host->Value(param), before[kValue + static_cast<size_t>(param)]) << param;
    }
    EXPECT_EQ(m_host->Value(PARAM_BOOST_TIMING), 11) << "the rest of the page still works";
    EXPECT_EQ(m_host->Value(PARAM_DRAG_BRAKE), 21);
}
