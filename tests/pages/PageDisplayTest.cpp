#include "PagesFixture.h"
#include "ParamValueFormat.h"

#include <gtest/gtest.h>
#include <string>

using namespace corvane;
using namespace corvane::test;

namespace {

class PageDisplayTest : public PagesFixture {
protected:
    std::string Text(Page page, QPoint display) const {
        return DisplayAt(PageOf(page), display)->Text();
    }
};

} // namespace

// Storing writes the value the slider's position stands for, so the text must be that
// value's, and the display must be the one under the slider.
TEST_F(PageDisplayTest, EachDisplayShowsItsParameterThroughLoadDragsAndKeys) {
    struct Row {
        Page page;
        unsigned slider;
        QPoint display;
    };
    const Row rows[] = {
        {kThrottle, kThrottleCurve, {30, 307}}, {kThrottle, kCurrentLimiter, {142, 307}},
        {kThrottle, kCoast, {254, 307}},        {kTiming, kBoostStartRpm, {35, 285}},
        {kTiming, kBoostEndRpm, {115, 285}},    {kTiming, kTurboTiming, {244, 285}},
        {kTiming, kTurboDelay, {296, 285}},     {kTiming, kBoostTiming, {179, 285}},
        {kBrakes, kDragBrake, {77, 285}},       {kBrakes, kBrakeStrength, {244, 285}},
    };
    CreatePages(MakeRealisticParamBlock());
    auto expected = [this](const CSkinSlider* slider) {
        std::string text;
        FormatParamValue(static_cast<unsigned>(slider->ParamIndex()),
                         m_host->Value(slider->ParamIndex()), text);
        return text;
    };
    for (const Row& row : rows) {
        CSkinSlider* slider = Slider(PageOf(row.page), row.slider);
        EXPECT_EQ(Text(row.page, row.display), expected(slider)) << row.slider << " loaded";
        Drag(slider, {15, slider->height() / 2});
        std::string shown = Text(row.page, row.display);
        PageOf(row.page).StoreParams();
        EXPECT_EQ(shown, expected(slider)) << row.slider << " dragged";
        QTest::keyClick(slider, Qt::Key_Down);
        shown = Text(row.page, row.display);
        PageOf(row.page).StoreParams();
        EXPECT_EQ(shown, expected(slider)) << row.slider << " key";
    }
}

TEST_F(PageDisplayTest, ThrottleCurveReadsZeroAtItsMiddle) {
    CreatePages(MakeRealisticParamBlock()); // value 128
    CSkinSlider* curve = Slider(PageOf(kThrottle), kThrottleCurve);
    EXPECT_EQ(Text(kThrottle, {30, 307}), "0%");
    QTest::keyClick(curve, Qt::Key_Up);
    EXPECT_EQ(Text(kThrottle, {30, 307}), "+1%");
    Drag(curve, {15, 0});
    EXPECT_EQ(Text(kThrottle, {30, 307}), "+100%");
    Drag(curve, {15, curve->height()}); // the bottom end still counts as on the track
    EXPECT_EQ(Text(kThrottle, {30, 307}), "-100%");
}
